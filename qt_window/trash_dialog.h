#pragma once
// The trash dialog "回收站": the pictures deleted from the file, newest first, with
// name, date and size, and how much the trash holds; restore, delete forever and
// empty run the core's commands through the request.

#include <QDialog>

#include "browser/browser_view.h"

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

    // Lists the trash again, as it is in the file now.
    void reload();

private:
    // The entry selected in the list, if any.
    std::optional<std::int64_t> selectedId() const;
    void updateButtons();

    TrashRequest request_;
};

}  // namespace velmora
