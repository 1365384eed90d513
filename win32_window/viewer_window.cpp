#include "win32_window/viewer_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/utf16.h"
#include "browser/viewer_place.h"
#include "win32_window/bitmap_paint.h"
#include "win32_window/control_ids.h"
#include "win32_window/dpi.h"
#include "win32_window/modal_windows.h"
#include "win32_window/shortcuts.h"
#include "win32_window/window_class.h"
#include "win32_window/window_procedure.h"

namespace velmora::win32 {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;  // single border, system menu only

// The hint's tool, over the whole window; showContent() gives it its text.
HWND addHint(HWND window) {
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                               0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tip) return nullptr;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return tip;
}

}  // namespace

ViewerWindow::ViewerWindow(HWND owner, CommandRunner& commands) : owner_(owner), commands_(commands) {
    registerWindowClass(kViewerWindowClass, ownedWindowProcedure<ViewerWindow, &ViewerWindow::window_>, IDC_HAND);
}

ViewerWindow::~ViewerWindow() {
    if (window_) DestroyWindow(window_);
}

void ViewerWindow::show(const ViewerContent& content) {
    closing_ = false;
    click_.cancel();
    window_ = CreateWindowExW(0, kViewerWindowClass, L"", kStyle, 0, 0, 0, 0, owner_, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (!window_) return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    hintTool_ = addHint(window_);
    showContent(content);

    // Modal: the owner takes no input until the viewer closes.
    const bool ownerWasEnabled = owner_ && !EnableWindow(owner_, FALSE);
    modalOpened(window_);
    ShowWindow(window_, SW_SHOW);
    MSG message;
    while (!closing_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that ends the program
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The owner takes the activation back before the viewer goes.
    modalClosed(window_);
    if (ownerWasEnabled) EnableWindow(owner_, TRUE);
    DestroyWindow(window_);  // the hint's tool with it
    window_ = hintTool_ = nullptr;
    fullScreen_ = false;
    content_ = ViewerContent{};
}

void ViewerWindow::showContent(const ViewerContent& content) {
    if (!window_) return;
    content_ = content;
    scrollX_ = scrollY_ = 0;
    SetWindowTextW(window_, toUtf16(content_.caption).c_str());
    hint_ = toUtf16(content_.hint);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(window_);
    tool.lpszText = hint_.data();
    if (hintTool_) SendMessageW(hintTool_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    if (fullScreen_) {
        InvalidateRect(window_, nullptr, TRUE);
        return;
    }
    const double ratio = pixelRatioOf(dpiOf(owner_));
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    RECT edges{0, 0, 0, 0};
    AdjustWindowRectEx(&edges, kStyle, FALSE, 0);
    const ViewerFrame frame{-edges.left, -edges.top, edges.right, edges.bottom, GetSystemMetrics(SM_CXVSCROLL),
                            GetSystemMetrics(SM_CYHSCROLL)};
    // The client area shows the picture one pixel for one of its pixels, scrolling
    // where it is larger than the work area.
    place_ = viewerPlace(content_.picture.width(), content_.picture.height(), ratio,
                         {work.left, work.top, work.right - work.left, work.bottom - work.top}, frame);
    const DWORD style = kStyle | (place_.scrollsAcross ? WS_HSCROLL : 0) | (place_.scrollsDown ? WS_VSCROLL : 0);
    SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(style | (GetWindowLongPtrW(window_, GWL_STYLE) & WS_VISIBLE)));
    const DialogRect& outer = place_.window;
    SetWindowPos(window_, nullptr, outer.x, outer.y, outer.width, outer.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ShowScrollBar(window_, SB_HORZ, place_.scrollsAcross);
    ShowScrollBar(window_, SB_VERT, place_.scrollsDown);
    setScrollBar(SB_HORZ, content_.picture.width(), place_.viewWidth, place_.scrollsAcross);
    setScrollBar(SB_VERT, content_.picture.height(), place_.viewHeight, place_.scrollsDown);
    InvalidateRect(window_, nullptr, TRUE);
}

void ViewerWindow::toggleFullScreen() {
    fullScreen_ = !fullScreen_;
    if (!fullScreen_) {
        SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(kStyle | WS_VISIBLE));
        showContent(content_);
        return;
    }
    // The whole monitor, without frame or scrollbars; the picture keeps one pixel for one.
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& all = monitor.rcMonitor;
    SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(WS_POPUP | WS_VISIBLE));
    SetWindowPos(window_, HWND_TOP, all.left, all.top, all.right - all.left, all.bottom - all.top, SWP_FRAMECHANGED);
    InvalidateRect(window_, nullptr, TRUE);
}

void ViewerWindow::close() {
    if (!window_) return;
    ShowWindow(window_, SW_HIDE);
    closing_ = true;
    PostMessageW(window_, WM_NULL, 0, 0);  // wakes the viewer's loop
}

void ViewerWindow::setScrollBar(int bar, int picture, int view, bool shown) {
    if (!shown) return;
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, picture - 1, static_cast<UINT>(view), 0, 0};
    SetScrollInfo(window_, bar, &info, TRUE);
}

void ViewerWindow::scrollTo(int x, int y) {
    x = viewerScrolled(x, 0, content_.picture.width(), place_.viewWidth);
    y = viewerScrolled(y, 0, content_.picture.height(), place_.viewHeight);
    if (x == scrollX_ && y == scrollY_) return;
    ScrollWindowEx(window_, scrollX_ - x, scrollY_ - y, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    scrollX_ = x;
    scrollY_ = y;
    if (place_.scrollsAcross) SetScrollPos(window_, SB_HORZ, x, TRUE);
    if (place_.scrollsDown) SetScrollPos(window_, SB_VERT, y, TRUE);
}

int ViewerWindow::scrolledBy(int bar, int request) const {
    const bool across = bar == SB_HORZ;
    const int offset = across ? scrollX_ : scrollY_;
    const int view = across ? place_.viewWidth : place_.viewHeight;
    const double ratio = pixelRatioOf(dpiOf(window_));
    SCROLLINFO info{sizeof info, SIF_TRACKPOS};
    switch (request) {
    case SB_LINEUP: return offset - viewerStep(ViewerStep::Line, view, ratio);
    case SB_LINEDOWN: return offset + viewerStep(ViewerStep::Line, view, ratio);
    case SB_PAGEUP: return offset - viewerStep(ViewerStep::Page, view, ratio);
    case SB_PAGEDOWN: return offset + viewerStep(ViewerStep::Page, view, ratio);
    case SB_TOP: return 0;
    case SB_BOTTOM: return across ? content_.picture.width() : content_.picture.height();
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: GetScrollInfo(window_, bar, &info); return info.nTrackPos;
    }
    return offset;
}

void ViewerWindow::keyScroll(UINT key) {
    switch (key) {
    case VK_UP: scrollTo(scrollX_, scrolledBy(SB_VERT, SB_LINEUP)); break;
    case VK_DOWN: scrollTo(scrollX_, scrolledBy(SB_VERT, SB_LINEDOWN)); break;
    case VK_PRIOR: scrollTo(scrollX_, scrolledBy(SB_VERT, SB_PAGEUP)); break;
    case VK_NEXT: scrollTo(scrollX_, scrolledBy(SB_VERT, SB_PAGEDOWN)); break;
    case VK_HOME: scrollTo(0, 0); break;
    case VK_END: scrollTo(content_.picture.width(), content_.picture.height()); break;
    }
}

LRESULT ViewerWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        try {
            // Decoded by the core before it opened the viewer; one pixel for one.
            paintBitmap(dc, content_.picture.bitmap(), -scrollX_, -scrollY_);
        } catch (const std::exception&) {
        }
        EndPaint(window_, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        click_.press(true);
        drag_.press(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), place_.scrollsAcross || place_.scrollsDown);
        SetCapture(window_);  // the release comes here, wherever it happens
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == window_) {
            const ViewerDrag::Move move = drag_.move(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            scrollTo(scrollX_ + move.across, scrollY_ + move.down);
        }
        return 0;
    case WM_LBUTTONUP: {
        RECT client{};
        GetClientRect(window_, &client);
        drag_.release();
        const bool clicked = click_.release(PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE);
        if (GetCapture() == window_) ReleaseCapture();
        if (clicked && !drag_.dragged()) close();
        return 0;
    }
    case WM_HSCROLL: scrollTo(scrolledBy(SB_HORZ, LOWORD(wParam)), scrollY_); return 0;
    case WM_VSCROLL: scrollTo(scrollX_, scrolledBy(SB_VERT, LOWORD(wParam))); return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
        const bool across = message == WM_MOUSEHWHEEL || !place_.scrollsDown;
        const int step = viewerStep(ViewerStep::Wheel, 0, pixelRatioOf(dpiOf(window_)));
        const int notches = GET_WHEEL_DELTA_WPARAM(wParam);
        // The vertical wheel turned away from the user scrolls up; the tilt wheel right scrolls right.
        const int by = MulDiv(step, message == WM_MOUSEHWHEEL ? notches : -notches, WHEEL_DELTA);
        if (across) scrollTo(scrollX_ + by, scrollY_);
        else scrollTo(scrollX_, scrollY_ + by);
        return 0;
    }
    case WM_CLOSE: close(); return 0;
    case WM_KEYDOWN:
        switch (const CommandId command = commandOfKey(
                    viewerKeys(), keyName(wParam, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0))) {
        case CommandId::None: keyScroll(static_cast<UINT>(wParam)); break;
        case CommandId::CloseViewer: close(); break;
        case CommandId::FullScreen: toggleFullScreen(); break;
        default: commands_.run(command); break;
        }
        return 0;
    case WM_CONTEXTMENU: {
        HMENU menu = CreatePopupMenu();
        const auto controls = viewerControls();
        for (std::size_t row = 0; row < controls.size(); ++row) {
            const CommandControl& control = controls[row];
            if (control.kind == ControlKind::Separator || control.caption == nullptr) {
                AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(kFirstViewerCommandId + static_cast<int>(row)),
                        toUtf16(texts().*control.caption).c_str());
        }
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (at.x == -1 && at.y == -1) {  // from the keyboard: at the window's corner
            at = {0, 0};
            ClientToScreen(window_, &at);
        }
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
        DestroyMenu(menu);
        return 0;
    }
    case WM_COMMAND: {
        const int row = LOWORD(wParam) - kFirstViewerCommandId;
        const auto controls = viewerControls();
        if (row >= 0 && static_cast<std::size_t>(row) < controls.size() && controls[row].command != CommandId::None) {
            commands_.run(controls[row].command);
        }
        return 0;
    }
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace velmora::win32
