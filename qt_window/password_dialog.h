#pragma once
// The password dialog of a server collection, bound to the core's PasswordForm: the
// prompt naming the address, the server's message for the password tried last (red),
// a masked password box, the keep box (unchecked) and "确定" and "取消". A refused
// password leaves the dialog open with the new message and an emptied box.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "browser/password_form.h"

namespace velmora {

class PasswordDialog : public QDialog {
    Q_OBJECT

public:
    PasswordDialog(PasswordForm& form, QWidget* mainWindow);

    QLabel* promptLabel;
    QLabel* problemLabel;
    QLineEdit* passwordEdit;
    QCheckBox* keepBox;
    QPushButton* okButton;
    QPushButton* cancelButton;

private:
    void submit();

    PasswordForm& form_;
};

}  // namespace velmora
