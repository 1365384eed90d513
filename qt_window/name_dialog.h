#pragma once
// The small dialog that asks for one text, laid out by one of the four designs of the
// name dialog table: a red label, an edit box whose text is selected when the dialog
// opens, and "确定" and "取消". "确定" hands the text to the request's accept(),
// which decides whether the dialog closes; neither button is bound to Enter or Esc,
// and the close box cancels.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "browser/browser_view.h"

namespace velmora {

class NameDialog : public QDialog {
    Q_OBJECT

public:
    NameDialog(const TextRequest& request, QWidget* mainWindow);

    QLabel* promptLabel;
    QLineEdit* textEdit;
    QPushButton* okButton;
    QPushButton* cancelButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    const TextRequest& request_;
};

}  // namespace velmora
