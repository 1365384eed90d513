#include "browser/message_boxes.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "browser/app_title.h"
#include "platform/message_text.h"

namespace velmora {

namespace {

void centreOnScreen(QMessageBox& box) {
    box.adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        box.move(area.center() - box.rect().center());
    }
}

// A box with the application title and one "OK" that Enter and Esc both press.
void showWithOneButton(QMessageBox::Icon icon, const char* name, const std::string& text) {
    QMessageBox box(icon, QString::fromUtf8(kApplicationTitle), QString::fromStdString(text));
    box.setObjectName(name);
    box.setTextFormat(Qt::PlainText);  // messages may quote picture names and paths
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    ok->setText("OK");
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    centreOnScreen(box);
    box.exec();
}

}  // namespace

void showCondition(const std::string& text) { showWithOneButton(QMessageBox::NoIcon, "ConditionBox", text); }

bool confirm(const std::string& text) {
    QMessageBox box(QMessageBox::Question, "Confirm", QString::fromStdString(text));
    box.setObjectName("ConfirmBox");
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    ok->setText("OK");
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    cancel->setText("Cancel");
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel);
    centreOnScreen(box);
    box.exec();
    return box.clickedButton() == ok;
}

void showError(const std::string& message) {
    showWithOneButton(QMessageBox::Critical, "ErrorBox", platform::withClosingFullStop(message));
}

}  // namespace velmora
