#include "tests/gui_support/browser_fixture.h"

#include <QApplication>
#include <QLineEdit>

#include <cstdlib>

namespace velmora::test {

BrowserTest::BrowserTest() {
    setenv("XDG_DATA_HOME", home.file("data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.file("config").c_str(), 1);
    services.clipboard = &clipboard;
    services.platform = &platform;
    services.wallpaperSettings = &wallpaperSettings;
    services.openUrl = [this](const std::string& url) { openedUrls.push_back(url); };
}

BrowserTest::~BrowserTest() {
    // The window goes, and its last events run, before the directory it works in.
    form.reset();
    settle();
}

MainWindow& BrowserTest::openWindow(std::optional<std::string> startFile) {
    form = std::make_unique<MainWindow>(services, std::move(startFile));
    form->show();
    settle();
    return *form;
}

void BrowserTest::settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

bool BrowserTest::pictureCommands(bool available) const {
    for (const char* name : {"DeleteFormDB", "SaveToFile", "SetToDesktop", "Rename", "ShowAll", "FiltByName",
                             "CopyToCBoard", "CutToCBoard"}) {
        if (action(name)->isEnabled() != available) return false;
    }
    return button("SpeedButton3")->isEnabled() == available && button("SpeedButton4")->isEnabled() == available;
}

namespace {

void actOnDialog(ModalScript& modals, std::optional<QString> text, QString* shownText, const QString& button) {
    modals.then([text, shownText, button](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>("Edit1");
        ASSERT_NE(edit, nullptr) << dialog->objectName().toStdString();
        if (shownText) *shownText = edit->text() + (edit->selectedText() == edit->text() ? "" : " (not selected)");
        if (text) edit->setText(*text);
        clickButton(dialog, button);
    });
}

}  // namespace

void confirmDialog(ModalScript& modals, std::optional<QString> text, QString* shownText) {
    actOnDialog(modals, std::move(text), shownText, "确定");
}

void cancelDialog(ModalScript& modals, QString* shownText) { actOnDialog(modals, std::nullopt, shownText, "取消"); }

}  // namespace velmora::test
