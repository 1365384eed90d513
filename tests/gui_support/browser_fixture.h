#pragma once
// A main window over a picture data file in a temporary current directory, with
// scripted file dialogs and modal windows.

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/main_window.h"
#include "platform/call_log.h"
#include "platform/fake_desktop.h"
#include "platform/fake_registry.h"
#include "platform/files_linux.h"
#include "platform/platform.h"
#include "store/imagefile/memory_clipboard.h"
#include "tests/gui_support/modal_script.h"
#include "tests/support/temp_dir.h"
#include "tools/collection_file.h"

namespace velmora::test {

// Answers file dialogs from a queue; records what each was shown with.
class ScriptedFileDialogs : public FileDialogs {
public:
    std::optional<std::string> execute(QWidget* parent, FileDialogKind kind, FileDialogSettings& settings) override;
    // Takes the next of `selections` when one is queued, else one of `answers`.
    std::vector<std::string> executeOpenMany(QWidget* parent, FileDialogSettings& settings) override;
    // Files chosen together in a dialog that allows several (empty = cancelled).
    std::deque<std::vector<std::string>> selections;
    // nullopt = the user cancels. A chosen file moves the current directory to its
    // folder, as the real dialogs do.
    std::deque<std::optional<std::string>> answers;
    std::vector<FileDialogSettings> shown;
};

// Records made from generated pictures: name i gets a width x height picture.
std::vector<tools::CollectionRecord> pictureRecords(const std::vector<std::string>& names, int width = 320,
                                                    int height = 240);

class BrowserTest : public ::testing::Test {
public:
    BrowserTest();
    ~BrowserTest() override;

    // Writes pictures.vlm into the current (temporary) directory.
    void makeDefaultFile(const std::vector<tools::CollectionRecord>& records);
    // Creates the main window (window creation runs now), on startFile when one is given.
    MainWindow& openWindow(std::optional<std::string> startFile = std::nullopt);
    // Lets queued events (paints, deferred reports) run.
    void settle();

    bool enabled(QAction* action) const { return action->isEnabled(); }
    // True when all ten picture commands are available (false: all unavailable).
    bool pictureCommands(bool available) const;

    TempDir dir;
    TempDir home;  // XDG folders: the registry hive and the drive folder
    std::string previousDirectory;
    platform::CallLog calls;
    platform::FakeRegistry registry{calls};
    platform::LinuxFiles files;
    platform::FakeDesktop desktop{calls};
    platform::Platform platform{registry, files, desktop};
    MemoryClipboard clipboard;
    ScriptedFileDialogs dialogs;
    ModalScript modals;
    BrowserServices services;
    std::vector<std::string> openedUrls;
    std::unique_ptr<MainWindow> form;
};

}  // namespace velmora::test

namespace velmora::test {

// Modal-window actions for the small dialogs: set textEdit (unless text is nullopt) and
// press "确定", or press "取消".
void confirmDialog(ModalScript& modals, std::optional<QString> text = std::nullopt, QString* shownText = nullptr);
void cancelDialog(ModalScript& modals, QString* shownText = nullptr);

// The bytes of the `picture` column of every record, in rowid order.
std::vector<Bytes> picturesInFile(const std::string& path);

}  // namespace velmora::test
