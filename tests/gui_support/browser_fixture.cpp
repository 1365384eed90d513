#include "tests/gui_support/browser_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdlib>

#include "tools/synthetic_picture.h"

namespace velmora::test {

std::optional<std::string> ScriptedFileDialogs::execute(QWidget*, FileDialogKind kind, FileDialogSettings& settings) {
    shown.push_back(settings);
    if (answers.empty()) {
        ADD_FAILURE() << "a file dialog opened that the test did not expect";
        return std::nullopt;
    }
    auto answer = answers.front();
    answers.pop_front();
    // A save dialog adds the default extension to a name typed without one.
    if (answer && kind == FileDialogKind::Save && !settings.defaultExt.empty() &&
        QFileInfo(QString::fromStdString(*answer)).suffix().isEmpty()) {
        *answer += settings.defaultExt;
    }
    if (answer) QDir::setCurrent(QFileInfo(QString::fromStdString(*answer)).absolutePath());
    return answer;
}

std::vector<std::string> ScriptedFileDialogs::executeOpenMany(QWidget* parent, FileDialogSettings& settings) {
    if (selections.empty()) return FileDialogs::executeOpenMany(parent, settings);
    shown.push_back(settings);
    std::vector<std::string> chosen = selections.front();
    selections.pop_front();
    if (!chosen.empty()) QDir::setCurrent(QFileInfo(QString::fromStdString(chosen.front())).absolutePath());
    return chosen;
}

std::vector<tools::CollectionRecord> pictureRecords(const std::vector<std::string>& names, int width, int height) {
    std::vector<tools::CollectionRecord> records;
    int variant = 0;
    for (const auto& name : names) records.push_back({name, tools::syntheticJpeg(width, height, variant++)});
    return records;
}

BrowserTest::BrowserTest() {
    previousDirectory = QDir::currentPath().toStdString();
    QDir::setCurrent(QString::fromStdString(dir.path().string()));
    setenv("XDG_DATA_HOME", home.file("data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.file("config").c_str(), 1);
    services.fileDialogs = &dialogs;
    services.clipboard = &clipboard;
    services.platform = &platform;
    services.openUrl = [this](const std::string& url) { openedUrls.push_back(url); };
}

BrowserTest::~BrowserTest() {
    form.reset();
    settle();
    QDir::setCurrent(QString::fromStdString(previousDirectory));
}

void BrowserTest::makeDefaultFile(const std::vector<tools::CollectionRecord>& records) {
    tools::createCollection(dir.file("pictures.vlm"), records);
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
    const MainWindow& f = *form;
    for (QAction* action : {f.deleteAction, f.saveAction, f.wallpaperAction, f.renameAction, f.showAllAction,
                            f.filterByNameAction, f.copyAction, f.cutAction}) {
        if (action->isEnabled() != available) return false;
    }
    return f.deleteButton->isEnabled() == available && f.wallpaperButton->isEnabled() == available;
}

}  // namespace velmora::test

#include <QLineEdit>
#include <sqlite3.h>

namespace velmora::test {

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

std::vector<Bytes> picturesInFile(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT picture FROM pictures ORDER BY rowid", -1, &statement, nullptr);
    std::vector<Bytes> pictures;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        auto data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, 0));
        pictures.emplace_back(data, data + sqlite3_column_bytes(statement, 0));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return pictures;
}

}  // namespace velmora::test
