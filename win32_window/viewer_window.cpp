#include "win32_window/viewer_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/utf16.h"
#include "browser/viewer_place.h"
#include "win32_window/bitmap_paint.h"
#include "win32_window/control_ids.h"
#include "win32_window/dpi.h"
#include "win32_window/window_class.h"
#include "win32_window/window_procedure.h"

namespace velmora::win32 {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;  // single border, system menu only

// The hint, shown over the whole window.
void addHint(HWND window, std::wstring& hint) {
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                               0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tip) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = hint.data();
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

ViewerWindow::ViewerWindow(HWND owner, std::function<void(CommandId)> run) : owner_(owner), run_(std::move(run)) {
    registerWindowClass(kViewerWindowClass, ownedWindowProcedure<ViewerWindow, &ViewerWindow::window_>, IDC_HAND);
}

ViewerWindow::~ViewerWindow() {
    if (window_) DestroyWindow(window_);
}

void ViewerWindow::show(const ViewerContent& content) {
    content_ = content;
    closing_ = false;
    click_.cancel();
    const std::wstring caption = toUtf16(content_.caption);
    // The client area is the picture, a logical pixel for one of its pixels, also for a
    // picture larger than the screen.
    const DialogRect place = inDevicePixels(viewerPlace(content_.picture.width(), content_.picture.height()),
                                            pixelRatioOf(dpiOf(owner_)));
    RECT frame{0, 0, place.width, place.height};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    window_ = CreateWindowExW(0, kViewerWindowClass, caption.c_str(), kStyle, place.x, place.y,
                              frame.right - frame.left, frame.bottom - frame.top, owner_, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (!window_) return;
    // The system fits a new window into the screen; the viewer keeps the picture's size.
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::wstring hint = toUtf16(content_.hint);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    addHint(window_, hint);

    // Modal: the owner takes no input until the viewer closes.
    const bool ownerWasEnabled = owner_ && !EnableWindow(owner_, FALSE);
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
    if (ownerWasEnabled) EnableWindow(owner_, TRUE);
    DestroyWindow(window_);
    window_ = nullptr;
    content_ = ViewerContent{};
}

void ViewerWindow::close() {
    if (!window_) return;
    ShowWindow(window_, SW_HIDE);
    closing_ = true;
    PostMessageW(window_, WM_NULL, 0, 0);  // wakes the viewer's loop
}

LRESULT ViewerWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        RECT client{};
        GetClientRect(window_, &client);
        try {
            // Decoded by the core before it opened the viewer; scaled by the screen's ratio.
            paintBitmap(dc, content_.picture.bitmap(), client);
        } catch (const std::exception&) {
        }
        EndPaint(window_, &paint);
        return 0;
    }
    case WM_GETMINMAXINFO: {
        // A picture larger than the screen makes a window larger than the screen.
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMaxTrackSize = {0x7FFF, 0x7FFF};
        return 0;
    }
    case WM_LBUTTONDOWN:
        click_.press(true);
        SetCapture(window_);  // the release comes here, wherever it happens
        return 0;
    case WM_LBUTTONUP: {
        RECT client{};
        GetClientRect(window_, &client);
        const bool clicked = click_.release(PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE);
        if (GetCapture() == window_) ReleaseCapture();
        if (clicked) close();
        return 0;
    }
    case WM_CLOSE: close(); return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) close();
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
            run_(controls[row].command);
        }
        return 0;
    }
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace velmora::win32
