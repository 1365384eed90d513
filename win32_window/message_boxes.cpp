#include "win32_window/message_boxes.h"

#include <commctrl.h>

#include "base/utf16.h"
#include "browser/texts.h"
#include "win32_window/control_ids.h"
#include "win32_window/dialog_template.h"
#include "win32_window/dpi.h"
#include "win32_window/window_placement.h"
#include "win32_window/window_text.h"

namespace velmora::win32 {

namespace {

// MessageBoxW words its buttons in the system's language; the boxes here read as the
// Qt window's do. A hook on this thread renames the buttons and centres the box on
// the screen when it is activated, then removes itself.
struct BoxLook {
    std::wstring ok, cancel, help;
    const std::string* details = nullptr;  // behind the help button when not empty
};
thread_local BoxLook* pendingLook = nullptr;
thread_local HHOOK lookHook = nullptr;

// The long form: a scrolling read-only text and "OK" (Enter, Esc and the close box).
INT_PTR CALLBACK detailsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const int dpi = dpiOf(GetWindow(dialog, GW_OWNER));
        RECT frame{0, 0, scaled(480, dpi), scaled(320, dpi)};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE, 0);
        SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        const int margin = scaled(10, dpi), buttonWidth = scaled(88, dpi), buttonHeight = scaled(26, dpi);
        const int width = scaled(480, dpi), height = scaled(320, dpi);
        HWND text = GetDlgItem(dialog, kDetailsTextId);
        MoveWindow(text, margin, margin, width - 2 * margin, height - 3 * margin - buttonHeight, FALSE);
        MoveWindow(GetDlgItem(dialog, IDOK), width - margin - buttonWidth, height - margin - buttonHeight, buttonWidth,
                   buttonHeight, FALSE);
        SetWindowTextW(text, reinterpret_cast<const wchar_t*>(lParam));
        centreOnWorkArea(dialog);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDOK);
        return TRUE;
    case WM_CLOSE: EndDialog(dialog, IDOK); return TRUE;
    }
    return FALSE;
}

void showDetails(HWND owner, const std::string& details) {
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, toUtf16(texts().applicationTitle));
    dialog.add({.windowClass = L"EDIT", .text = L"", .id = kDetailsTextId,
                .style = WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL});
    dialog.add({.windowClass = L"BUTTON", .text = toUtf16(texts().confirmOk), .id = IDOK,
                .style = WS_TABSTOP | BS_DEFPUSHBUTTON});
    const std::wstring text = withCrLf(toUtf16(details));
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), owner, detailsProcedure,
                            reinterpret_cast<LPARAM>(text.c_str()));
}

// The help button of a box with details shows them and leaves the box open (the
// system would hand it to a help callback, which not every system calls).
LRESULT CALLBACK detailsButton(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if ((message == WM_COMMAND && LOWORD(wParam) == IDHELP) || message == WM_HELP) {
        showDetails(box, *reinterpret_cast<const std::string*>(data));
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(box, detailsButton, 0);
    return DefSubclassProc(box, message, wParam, lParam);
}

LRESULT CALLBACK lookProcedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && pendingLook != nullptr) {
        auto* box = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        GetClassNameW(box, className, 16);
        if (std::wstring(className) == L"#32770") {
            BoxLook& look = *pendingLook;
            SetDlgItemTextW(box, IDOK, look.ok.c_str());
            if (!look.cancel.empty()) SetDlgItemTextW(box, IDCANCEL, look.cancel.c_str());
            if (look.details && !look.details->empty()) {
                SetDlgItemTextW(box, IDHELP, look.help.c_str());
                SetWindowSubclass(box, detailsButton, 0, reinterpret_cast<DWORD_PTR>(look.details));
            }
            centreOnWorkArea(box);
            pendingLook = nullptr;
        }
    }
    return CallNextHookEx(lookHook, code, wParam, lParam);
}

// Installs the hook for the one box shown while it lives.
class LookHook {
public:
    explicit LookHook(BoxLook& look) : previousLook_(pendingLook), previousHook_(lookHook) {
        pendingLook = &look;
        lookHook = SetWindowsHookExW(WH_CBT, lookProcedure, nullptr, GetCurrentThreadId());
    }
    ~LookHook() {
        if (lookHook) UnhookWindowsHookEx(lookHook);
        lookHook = previousHook_;
        pendingLook = previousLook_;
    }
    LookHook(const LookHook&) = delete;
    LookHook& operator=(const LookHook&) = delete;

private:
    BoxLook* previousLook_;
    HHOOK previousHook_;
};

UINT ownerModality(HWND owner) { return owner ? MB_APPLMODAL : MB_TASKMODAL; }

}  // namespace

bool confirmBox(HWND owner, const std::string& question) {
    BoxLook look{toUtf16(texts().confirmOk), toUtf16(texts().confirmCancel), {}, nullptr};
    LookHook hook(look);
    // OK is the default; Esc and the close box answer Cancel.
    const int answer = MessageBoxW(owner, toUtf16(question).c_str(), toUtf16(texts().confirmCaption).c_str(),
                                   MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1 | ownerModality(owner));
    return answer == IDOK;
}

void messageBox(HWND owner, MessageKind kind, const std::string& text, const std::string& details) {
    const UINT icon = kind == MessageKind::Condition ? 0u : kind == MessageKind::Error ? MB_ICONSTOP : MB_ICONWARNING;
    BoxLook look{toUtf16(texts().confirmOk), {}, toUtf16(texts().showDetailsButton), &details};
    LookHook hook(look);
    // One "OK", which Enter and Esc both press; the details behind a help button that
    // keeps the box open.
    MessageBoxW(owner, toUtf16(text).c_str(), toUtf16(texts().applicationTitle).c_str(),
                MB_OK | icon | ownerModality(owner) | (details.empty() ? 0u : MB_HELP));
}

}  // namespace velmora::win32
