#include "win32_window/progress_window.h"

#include <commctrl.h>

#include "base/utf16.h"
#include "browser/texts.h"
#include "win32_window/control_ids.h"
#include "win32_window/dpi.h"
#include "win32_window/window_class.h"
#include "win32_window/window_placement.h"
#include "win32_window/window_text.h"

namespace velmora::win32 {

namespace {

// The layout at 96 DPI: client size, margin, the label's and the bar's height, the button.
constexpr int kClientWidth = 320, kClientHeight = 112, kMargin = 11;
constexpr int kLabelHeight = 20, kBarHeight = 20, kButtonWidth = 88, kButtonHeight = 26;

LRESULT CALLBACK progressProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void registerClass() {
    registerWindowClass(kProgressWindowClass, progressProcedure, IDC_ARROW);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
}

// The system's message font, at the window's DPI.
HFONT messageFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, dpiOf(nullptr));
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

class ProgressWindow : public Progress {
public:
    ProgressWindow(HWND owner, int total) : owner_(owner) {
        registerClass();
        const int dpi = dpiOf(owner);
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        RECT frame{0, 0, scaled(kClientWidth, dpi), scaled(kClientHeight, dpi)};
        AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
        // Captioned as the window it belongs to.
        const std::wstring caption = owner ? toUtf16(windowText(owner)) : std::wstring();
        window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kProgressWindowClass, caption.c_str(), style, 0, 0,
                                  frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                                  GetModuleHandleW(nullptr), this);
        if (!window_) return;
        font_ = messageFont(dpi);
        const int margin = scaled(kMargin, dpi), width = scaled(kClientWidth, dpi) - 2 * margin;
        auto child = [&](const wchar_t* windowClass, const wchar_t* text, DWORD childStyle, int id, int x, int y,
                         int w, int h) {
            HWND control = CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | childStyle, x, y, w, h,
                                           window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                           GetModuleHandleW(nullptr), nullptr);
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
            return control;
        };
        label_ = child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kProgressLabelId, margin, margin, width,
                       scaled(kLabelHeight, dpi));
        bar_ = child(PROGRESS_CLASSW, L"", 0, kProgressBarId, margin, margin + scaled(kLabelHeight + 6, dpi), width,
                     scaled(kBarHeight, dpi));
        child(L"BUTTON", toUtf16(texts().cancelButton).c_str(), WS_TABSTOP | BS_PUSHBUTTON, kProgressCancelId,
              scaled(kClientWidth - kMargin - kButtonWidth, dpi), scaled(kClientHeight - kMargin - kButtonHeight, dpi),
              scaled(kButtonWidth, dpi), scaled(kButtonHeight, dpi));
        SendMessageW(bar_, PBM_SETRANGE32, 0, total);
        centreOnOwner(window_, owner);
        // Modal to its owner while the command runs.
        if (owner_) ownerWasEnabled_ = !EnableWindow(owner_, FALSE);
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
    }

    ~ProgressWindow() override {
        // The owner takes the activation back before this window goes.
        if (owner_ && ownerWasEnabled_) EnableWindow(owner_, TRUE);
        if (window_) DestroyWindow(window_);
        if (font_) DeleteObject(font_);
    }

    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    bool advance(int done, const std::string& label) override {
        if (window_) {
            setWindowText(label_, label);
            SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(done), 0);
            pumpMessages();
        }
        return !cancelled_;
    }

    void cancel() { cancelled_ = true; }

private:
    // Lets the cancel button be pressed and the windows repaint between two steps.
    void pumpMessages() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that ends the program
                return;
            }
            if (IsDialogMessageW(window_, &message)) continue;  // Tab, Space and Esc as in a dialog
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    HWND owner_;
    HWND window_ = nullptr, label_ = nullptr, bar_ = nullptr;
    HFONT font_ = nullptr;
    bool ownerWasEnabled_ = false;
    bool cancelled_ = false;
};

LRESULT CALLBACK progressProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* progress = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_COMMAND:
        // The cancel button, or Esc (IDCANCEL from the dialog keys).
        if (progress && (LOWORD(wParam) == kProgressCancelId || LOWORD(wParam) == IDCANCEL)) progress->cancel();
        return 0;
    case WM_CLOSE:
        // The close box cancels too; the window stays until the command ends.
        if (progress) progress->cancel();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<Progress> startProgressWindow(HWND owner, int total) {
    return std::make_unique<ProgressWindow>(owner, total);
}

}  // namespace velmora::win32
