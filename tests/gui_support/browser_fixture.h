#pragma once
// A main window over a picture data file in a temporary current directory, with
// scripted modal windows, an in-memory clipboard and recording platform services.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files_linux.h"
#include "platform/settings_file_linux.h"
#include "platform/platform.h"
#include "qt_window/main_window.h"
#include "tests/gui_support/modal_script.h"
#include "tests/support/browser_surroundings.h"
#include "tests/support/fake_wallpaper_settings.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {

class BrowserTest : public BrowserSurroundings {
public:
    BrowserTest();
    ~BrowserTest() override;

    // Creates the main window (window creation runs now), on startFile when one is given.
    MainWindow& openWindow(std::optional<std::string> startFile = std::nullopt);
    // Lets queued events (paints, deferred reports) run.
    void settle();

    QPushButton* button(const char* name) const { return form->button(name); }
    QAction* action(const char* name) const { return form->action(name); }
    // True when all ten picture commands are available (false: all unavailable).
    bool pictureCommands(bool available) const;

    TempDir home;  // XDG folders: the drive folder
    platform::LinuxFiles files;
    platform::Platform platform{registry, files, desktop};
    // The wallpaper settings in the real settings file under home; the timer only records.
    platform::SettingsFile settingsFile{home.file("config/velmora/wallpaper.conf")};
    RecordingTimer timer;
    WallpaperSettingsServices wallpaperSettings{settingsFile, timer, [](const std::string& path) { return path; }};
    ModalScript modals;
    BrowserServices services;
    std::unique_ptr<MainWindow> form;
};

// Modal-window actions for the name dialogs: set the edit box (unless text is nullopt)
// and press "确定", or press "取消".
void confirmDialog(ModalScript& modals, std::optional<QString> text = std::nullopt, QString* shownText = nullptr);
void cancelDialog(ModalScript& modals, QString* shownText = nullptr);

}  // namespace velmora::test
