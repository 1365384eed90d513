#pragma once
// The full-size viewer: the picture at its own size in a window fitted to it, its
// caption and hint from the core; a click closes it, its popup menu comes from
// viewerControls() and runs each command through run(). Modal: show() returns when
// it is closed (a click, its menu, or close()).
#include <windows.h>

#include <functional>

#include "browser/browser_view.h"

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
    bool pressed_ = false;  // a click began here (not on the window that opened the viewer)
};

}  // namespace velmora::win32
