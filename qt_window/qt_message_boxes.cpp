#include "qt_window/qt_message_boxes.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace velmora {

namespace {

void centreOnScreen(QMessageBox& box) {
    box.adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        box.move(area.center() - box.rect().center());
    }
}

QPushButton* addButton(QMessageBox& box, QMessageBox::StandardButton button, const char* caption) {
    QPushButton* added = box.addButton(button);
    added->setText(QString::fromUtf8(caption));
    return added;
}

}  // namespace

void showMessageBox(MessageKind kind, const std::string& text, const std::string& details) {
    struct Look {
        QMessageBox::Icon icon;
        const char* name;
    };
    const Look look = kind == MessageKind::Condition ? Look{QMessageBox::NoIcon, "ConditionBox"}
                      : kind == MessageKind::Error   ? Look{QMessageBox::Critical, "ErrorBox"}
                                                     : Look{QMessageBox::Warning, "NotAddedBox"};
    QMessageBox box(look.icon, QString::fromUtf8(texts().applicationTitle), QString::fromStdString(text));
    if (!details.empty()) box.setDetailedText(QString::fromStdString(details));
    box.setObjectName(look.name);
    box.setTextFormat(Qt::PlainText);  // messages may quote picture names and paths
    QPushButton* ok = addButton(box, QMessageBox::Ok, texts().confirmOk);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    centreOnScreen(box);
    box.exec();
}

bool showConfirmBox(const std::string& question) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(texts().confirmCaption), QString::fromStdString(question));
    box.setObjectName("ConfirmBox");
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = addButton(box, QMessageBox::Ok, texts().confirmOk);
    QPushButton* cancel = addButton(box, QMessageBox::Cancel, texts().confirmCancel);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel);
    centreOnScreen(box);
    box.exec();
    return box.clickedButton() == ok;
}

}  // namespace velmora
