#pragma once
// The full-size viewer: the picture at its own size, one picture pixel per device
// pixel, in a window fitted to it and limited to the monitor's work area, scrolling
// over a larger picture (viewerPlace()) by drag, wheel, scrollbars and keys; its
// caption and hint from the core; a click closes it, its popup menu comes from
// viewerControls() and runs each command through run(). Modal: show() returns when
// it is closed (a click, its menu, or close()).
#include <windows.h>

#include <string>

#include "browser/browser_core.h"
#include "browser/browser_view.h"
#include "browser/picture_click.h"
#include "browser/viewer_place.h"

namespace velmora::win32 {

class ViewerWindow {
public:
    ViewerWindow(HWND owner, CommandRunner& commands);
    ~ViewerWindow();
    ViewerWindow(const ViewerWindow&) = delete;
    ViewerWindow& operator=(const ViewerWindow&) = delete;

    void show(const ViewerContent& content);
    // Shows another picture in the open window, fitted to it.
    void showContent(const ViewerContent& content);
    // Hides the window and ends show() once the running command returns.
    void close();
    HWND handle() const { return window_; }
    // The window's messages (window_procedure.h).
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void setScrollBar(int bar, int picture, int view, bool shown);
    // Scrolls the view's top-left corner to x,y of the picture, kept on the picture.
    void scrollTo(int x, int y);
    // The offset a scrollbar request (SB_LINEUP ...) on bar leads to.
    int scrolledBy(int bar, int request) const;
    // Up, Down, Page Up, Page Down, Home and End scroll; Left and Right change the picture.
    void keyScroll(UINT key);
    // F11: the whole monitor, and back.
    void toggleFullScreen();

    HWND owner_;
    HWND window_ = nullptr;
    CommandRunner& commands_;
    ViewerContent content_{};
    bool closing_ = false;
    PictureClick click_;  // the whole window is the picture
    ViewerDrag drag_;
    ViewerPlace place_{};
    int scrollX_ = 0, scrollY_ = 0;  // the picture's point at the client area's top-left
    HWND hintTool_ = nullptr;
    std::wstring hint_;  // the text hintTool_ shows
    bool fullScreen_ = false;
};

}  // namespace velmora::win32
