#pragma once
// The windows around the wallpaper command, recorded into the platform call log so
// tests see window steps and platform calls in one order.

#include <string>

#include "tests/support/call_log.h"
#include "wallpaper/wallpaper_windows.h"

namespace velmora::test {

class RecordingWindows : public WallpaperWindows {
public:
    explicit RecordingWindows(platform::CallLog& log) : log_(log) {}

    void showMessage(const std::string& text) override { log_.add("message: " + text); }
    void hideMainWindow() override { log_.add("hide main window"); }
    void hideAndCloseViewer() override { log_.add("hide and close viewer"); }
    void showAndRaiseMainWindow() override { log_.add("show and raise main window"); }

private:
    platform::CallLog& log_;
};

}  // namespace velmora::test
