#include "qt_window/password_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>

#include "browser/texts.h"

namespace velmora {

PasswordDialog::PasswordDialog(PasswordForm& form, QWidget* mainWindow) : QDialog(mainWindow), form_(form) {
    setObjectName("PasswordForm");
    setWindowTitle(QString::fromStdString(form.caption()));
    promptLabel = new QLabel(QString::fromStdString(form.prompt()), this);
    promptLabel->setObjectName("Label1");
    problemLabel = new QLabel(QString::fromStdString(form.problem()), this);
    problemLabel->setObjectName("Label2");
    problemLabel->setWordWrap(true);
    QPalette red = problemLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    problemLabel->setPalette(red);
    passwordEdit = new QLineEdit(this);
    passwordEdit->setObjectName("Edit1");
    passwordEdit->setEchoMode(QLineEdit::Password);
    keepBox = new QCheckBox(QString::fromStdString(form.keepCaption()), this);
    keepBox->setObjectName("CheckBox1");
    okButton = new QPushButton(QString::fromUtf8(texts().okButton), this);
    okButton->setObjectName("Button1");
    okButton->setDefault(true);
    cancelButton = new QPushButton(QString::fromUtf8(texts().cancelButton), this);
    cancelButton->setObjectName("Button2");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QGridLayout(this);
    layout->addWidget(promptLabel, 0, 0);
    layout->addWidget(problemLabel, 1, 0);
    layout->addWidget(passwordEdit, 2, 0);
    layout->addWidget(keepBox, 3, 0);
    layout->addLayout(buttons, 4, 0);
    setMinimumWidth(420);

    connect(okButton, &QPushButton::clicked, this, &PasswordDialog::submit);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void PasswordDialog::submit() {
    if (form_.submit(passwordEdit->text().toStdString(), keepBox->isChecked())) {
        accept();
        return;
    }
    problemLabel->setText(QString::fromStdString(form_.problem()));
    passwordEdit->clear();
    passwordEdit->setFocus(Qt::OtherFocusReason);
}

}  // namespace velmora
