#pragma once
// The full-size viewer: the picture at its own size (in logical pixels, scaled by the
// screen's DPI) in a window fitted to it, its
// caption and hint from the core; a click closes it, its popup menu comes from
// viewerControls() and runs each command through run(). Modal: show() returns when
// it is closed (a click, its menu, or close()).
#include <windows.h>

#include <functional>

#include "browser/browser_view.h"
#include "browser/picture_click.h"

namespace velmora::win32 {

class ViewerWindow {
public:
    ViewerWindow(HWND owner, std::function<void(CommandId)> run);
    ~ViewerWindow();
    ViewerWindow(const ViewerWindow&) = delete;
    ViewerWindow& operator=(const ViewerWindow&) = delete;

    void show(const ViewerContent& content);
    // Hides the window and ends show() once the running command returns.
    void close();
    HWND handle() const { return window_; }
    // The window's messages (window_procedure.h).
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND owner_;
    HWND window_ = nullptr;
    std::function<void(CommandId)> run_;
    ViewerContent content_{};
    bool closing_ = false;
    PictureClick click_;  // the whole window is the picture
};

}  // namespace velmora::win32
