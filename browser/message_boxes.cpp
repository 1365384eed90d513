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

}  // namespace

void showCondition(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), QString::fromStdString(text));
    box.setObjectName("ConditionBox");
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    ok->setText("OK");
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    centreOnScreen(box);
    box.exec();
}

bool confirm(const std::string& text) {
    QMessageBox box(QMessageBox::Question, "Confirm", QString::fromStdString(text));
    box.setObjectName("ConfirmBox");
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
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle),
                    QString::fromStdString(platform::withClosingFullStop(message)));
    box.setObjectName("ErrorBox");
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    ok->setText("OK");
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    centreOnScreen(box);
    box.exec();
}

}  // namespace velmora
