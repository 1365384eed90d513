#include "tests/gui_support/browser_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "tools/synthetic_picture.h"

namespace velmora::test {

std::optional<std::string> ScriptedFileDialogs::execute(QWidget*, FileDialogKind, FileDialogSettings& settings) {
    shown.push_back(settings);
    if (answers.empty()) {
        ADD_FAILURE() << "a file dialog opened that the test did not expect";
        return std::nullopt;
    }
    auto answer = answers.front();
    answers.pop_front();
    if (answer) QDir::setCurrent(QFileInfo(QString::fromStdString(*answer)).absolutePath());
    return answer;
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
    services.fileDialogs = &dialogs;
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

TForm1& BrowserTest::openWindow() {
    form = std::make_unique<TForm1>(services);
    form->show();
    settle();
    return *form;
}

void BrowserTest::settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

bool BrowserTest::pictureCommands(bool available) const {
    const TForm1& f = *form;
    for (QAction* action : {f.DeleteFormDB, f.SaveToFile, f.SetToDesktop, f.Rename, f.ShowAll, f.FiltByName,
                            f.CopyToCBoard, f.CutToCBoard}) {
        if (action->isEnabled() != available) return false;
    }
    return f.SpeedButton3->isEnabled() == available && f.SpeedButton4->isEnabled() == available;
}

}  // namespace velmora::test
