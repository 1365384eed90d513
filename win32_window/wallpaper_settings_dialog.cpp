#include "win32_window/wallpaper_settings_dialog.h"

#include <string>
#include <vector>

#include "base/utf16.h"
#include "browser/texts.h"
#include "browser/wallpaper_settings_form.h"
#include "win32_window/control_ids.h"
#include "win32_window/dialog_template.h"
#include "win32_window/message_boxes.h"
#include "win32_window/modal_windows.h"
#include "win32_window/window_text.h"

namespace velmora::win32 {

namespace {

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

int selected(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0)); }

void fill(HWND dialog, int id, const std::vector<const char*>& items, int selection) {
    for (const char* item : items)
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toUtf16(item).c_str()));
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

struct SettingsState {
    const WallpaperSettingsRequest& request;
    WallpaperSettingsForm form;
};

void updateRotation(HWND dialog) {
    const bool available = WallpaperSettingsForm::rotationFieldsAvailable(checked(dialog, kWallpaperRotateId));
    EnableWindow(GetDlgItem(dialog, kWallpaperIntervalId), available);
    EnableWindow(GetDlgItem(dialog, kWallpaperPausedId), available);
}

void initialise(HWND dialog, SettingsState& state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    const WallpaperSettingsFields& shown = state.form.fields();
    fill(dialog, kWallpaperFitModeId, WallpaperSettingsForm::fitCaptions(), shown.fit);
    fill(dialog, kWallpaperOrderId, WallpaperSettingsForm::orderCaptions(), shown.order);
    check(dialog, kWallpaperPerMonitorId, shown.perMonitor);
    check(dialog, kWallpaperRotateId, shown.rotate);
    setWindowText(GetDlgItem(dialog, kWallpaperIntervalId), shown.interval);
    check(dialog, kWallpaperPausedId, shown.paused);
    check(dialog, kWallpaperLockScreenId, shown.lockScreen);
    check(dialog, kWallpaperLeftOutId, shown.leftOut);
    EnableWindow(GetDlgItem(dialog, kWallpaperLeftOutId), state.form.leftOutAvailable());
    updateRotation(dialog);
}

WallpaperSettingsFields fieldsIn(HWND dialog) {
    return {.fit = selected(dialog, kWallpaperFitModeId),
            .perMonitor = checked(dialog, kWallpaperPerMonitorId),
            .rotate = checked(dialog, kWallpaperRotateId),
            .interval = windowText(GetDlgItem(dialog, kWallpaperIntervalId)),
            .order = selected(dialog, kWallpaperOrderId),
            .paused = checked(dialog, kWallpaperPausedId),
            .lockScreen = checked(dialog, kWallpaperLockScreenId),
            .leftOut = checked(dialog, kWallpaperLeftOutId)};
}

void accept(HWND dialog, const SettingsState& state) {
    bool accepted = false;
    try {
        accepted = state.request.accept(state.form.choice(fieldsIn(dialog)));
    } catch (const std::exception& error) {
        // The core reports its own errors; nothing may unwind through the dialog manager.
        messageBox(dialog, MessageKind::Error, error.what(), {});
    }
    if (accepted) EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* state = reinterpret_cast<const SettingsState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        modalOpened(dialog);
        initialise(dialog, *reinterpret_cast<SettingsState*>(lParam));
        return TRUE;  // the focus goes to the first control
    case WM_DESTROY: modalClosed(dialog); return FALSE;
    case WM_COMMAND:
        if (!state) return FALSE;
        switch (LOWORD(wParam)) {
        case kWallpaperRotateId: updateRotation(dialog); return TRUE;
        case IDOK: accept(dialog, *state); return TRUE;
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
    SettingsState state{request, WallpaperSettingsForm(request.current)};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), owner, dialogProcedure,
                            reinterpret_cast<LPARAM>(&state));
}

}  // namespace velmora::win32
