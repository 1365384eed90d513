#include "win32_window/wallpaper_settings_dialog.h"

#include <string>

#include "base/utf16.h"
#include "browser/texts.h"
#include "win32_window/control_ids.h"
#include "win32_window/dialog_template.h"
#include "win32_window/message_boxes.h"
#include "win32_window/window_text.h"

namespace velmora::win32 {

namespace {

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

int selected(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0)); }

void fill(HWND dialog, int id, std::initializer_list<const char*> items, int selection) {
    for (const char* item : items)
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toUtf16(item).c_str()));
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

// The interval and the pause belong to a running rotation.
void updateRotation(HWND dialog) {
    const bool rotating = checked(dialog, kWallpaperRotateId);
    EnableWindow(GetDlgItem(dialog, kWallpaperIntervalId), rotating);
    EnableWindow(GetDlgItem(dialog, kWallpaperPausedId), rotating);
}

void initialise(HWND dialog, const WallpaperSettingsRequest& request) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&request));
    const TextTable& text = texts();
    const WallpaperSettingsChoice& shown = request.current;
    const auto& modes = text.fitModes;
    fill(dialog, kWallpaperFitModeId, {text.fitDesktop, modes[0], modes[1], modes[2], modes[3], modes[4], modes[5]},
         shown.fit ? static_cast<int>(*shown.fit) + 1 : 0);
    fill(dialog, kWallpaperOrderId, {text.orderInTurn, text.orderShuffle}, shown.order == RotationOrder::Shuffle ? 1 : 0);
    check(dialog, kWallpaperPerMonitorId, shown.perMonitor);
    check(dialog, kWallpaperRotateId, shown.rotate);
    setWindowText(GetDlgItem(dialog, kWallpaperIntervalId), shown.interval);
    check(dialog, kWallpaperPausedId, shown.paused);
    check(dialog, kWallpaperLockScreenId, shown.lockScreen);
    check(dialog, kWallpaperLeftOutId, shown.leftOut.value_or(false));
    EnableWindow(GetDlgItem(dialog, kWallpaperLeftOutId), shown.leftOut.has_value());
    updateRotation(dialog);
}

WallpaperSettingsChoice choiceIn(HWND dialog) {
    WallpaperSettingsChoice chosen;
    if (const int fit = selected(dialog, kWallpaperFitModeId); fit > 0) chosen.fit = platform::kFitModes[fit - 1];
    chosen.perMonitor = checked(dialog, kWallpaperPerMonitorId);
    chosen.rotate = checked(dialog, kWallpaperRotateId);
    chosen.interval = windowText(GetDlgItem(dialog, kWallpaperIntervalId));
    chosen.order = selected(dialog, kWallpaperOrderId) == 1 ? RotationOrder::Shuffle : RotationOrder::InTurn;
    chosen.paused = chosen.rotate && checked(dialog, kWallpaperPausedId);
    chosen.lockScreen = checked(dialog, kWallpaperLockScreenId);
    if (IsWindowEnabled(GetDlgItem(dialog, kWallpaperLeftOutId))) chosen.leftOut = checked(dialog, kWallpaperLeftOutId);
    return chosen;
}

void accept(HWND dialog, const WallpaperSettingsRequest& request) {
    bool accepted = false;
    try {
        accepted = request.accept(choiceIn(dialog));
    } catch (const std::exception& error) {
        // The core reports its own errors; nothing may unwind through the dialog manager.
        messageBox(dialog, MessageKind::Error, error.what(), {});
    }
    if (accepted) EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* request = reinterpret_cast<const WallpaperSettingsRequest*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        initialise(dialog, *reinterpret_cast<const WallpaperSettingsRequest*>(lParam));
        return TRUE;  // the focus goes to the first control
    case WM_COMMAND:
        if (!request) return FALSE;
        switch (LOWORD(wParam)) {
        case kWallpaperRotateId: updateRotation(dialog); return TRUE;
        case IDOK: accept(dialog, *request); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        }
        return FALSE;
    case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
    }
    return FALSE;
}

}  // namespace

void runWallpaperSettingsDialog(HWND owner, const WallpaperSettingsRequest& request) {
    const TextTable& text = texts();
    // Positions in dialog units, which follow the dialog font and so the monitor's DPI.
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER,
                          toUtf16(text.wallpaperSettingsCaption), 268, 168);
    const DWORD label = SS_LEFT | SS_NOPREFIX;
    const DWORD checkBox = WS_TABSTOP | BS_AUTOCHECKBOX;
    const DWORD list = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
    dialog.add({L"STATIC", toUtf16(text.fitLabel), -1, label, 0, 8, 10, 70, 10});
    dialog.add({L"COMBOBOX", L"", kWallpaperFitModeId, list, 0, 80, 8, 110, 120});
    dialog.add({L"BUTTON", toUtf16(text.perMonitorBox), kWallpaperPerMonitorId, checkBox, 0, 8, 28, 250, 12});
    dialog.add({L"BUTTON", toUtf16(text.rotateBox), kWallpaperRotateId, checkBox, 0, 8, 46, 100, 12});
    dialog.add({L"EDIT", L"", kWallpaperIntervalId, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 110, 45, 50, 13});
    dialog.add({L"STATIC", toUtf16(text.intervalHint), -1, label, 0, 164, 47, 100, 10});
    dialog.add({L"STATIC", toUtf16(text.orderLabel), -1, label, 0, 8, 66, 70, 10});
    dialog.add({L"COMBOBOX", L"", kWallpaperOrderId, list, 0, 80, 64, 150, 60});
    dialog.add({L"BUTTON", toUtf16(text.pausedBox), kWallpaperPausedId, checkBox, 0, 8, 84, 250, 12});
    dialog.add({L"BUTTON", toUtf16(text.lockScreenBox), kWallpaperLockScreenId, checkBox, 0, 8, 102, 250, 12});
    dialog.add({L"BUTTON", toUtf16(text.leftOutBox), kWallpaperLeftOutId, checkBox, 0, 8, 120, 250, 12});
    dialog.add({L"BUTTON", toUtf16(text.okButton), IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 150, 146, 50, 14});
    dialog.add({L"BUTTON", toUtf16(text.cancelButton), IDCANCEL, WS_TABSTOP | BS_PUSHBUTTON, 0, 208, 146, 50, 14});
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), owner, dialogProcedure,
                            reinterpret_cast<LPARAM>(&request));
}

}  // namespace velmora::win32
