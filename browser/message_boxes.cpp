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
void showWithOneButton(QMessageBox::Icon icon, const char* name, const std::string& text,
                       const QString& details = {}) {
    QMessageBox box(icon, QString::fromUtf8(kApplicationTitle), QString::fromStdString(text));
    if (!details.isEmpty()) box.setDetailedText(details);
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

void showNotAddedFiles(const std::vector<NotAddedFile>& files) {
    // A long list would outgrow the screen: the box names the first ones, the details all.
    constexpr std::size_t kListed = 15;
    std::string text = "以下 " + std::to_string(files.size()) + " 个文件未能添加：\n";
    QString details;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string line = files[i].file + ": " + files[i].error;
        if (i < kListed) text += "\n" + line;
        details += QString::fromStdString(line) + "\n";
    }
    if (files.size() > kListed) text += "\n……（另有 " + std::to_string(files.size() - kListed) + " 个）";
    showWithOneButton(QMessageBox::Warning, "NotAddedBox", text, files.size() > kListed ? details : QString());
}

void showError(const std::string& message) {
    showWithOneButton(QMessageBox::Critical, "ErrorBox", platform::withClosingFullStop(message));
}

}  // namespace velmora
