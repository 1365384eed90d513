#pragma once
// The trash dialog "回收站": the pictures deleted from the file, newest first, with
// name, date and size, and how much the trash holds; restore, delete forever and
// empty run the core's commands through the request.

#include <QDialog>

#include "browser/browser_view.h"
#include "browser/trash_form.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace velmora {

class TrashDialog : public QDialog {
    Q_OBJECT

public:
    TrashDialog(const TrashRequest& request, QWidget* parent);

    QTreeWidget* pictureList;
    QLabel* spaceLabel;
    QPushButton* restoreButton;
    QPushButton* deleteButton;
    QPushButton* emptyButton;
    QPushButton* closeButton;

private:
    // Shows the form's rows, selection and buttons.
    void showForm();
    void updateButtons();
    void act(bool (TrashForm::*action)());

    TrashRequest request_;
    TrashForm form_;
};

}  // namespace velmora
