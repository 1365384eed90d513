#include "win32_window/password_dialog.h"

#include "base/utf16.h"
#include "browser/texts.h"
#include "win32_window/control_ids.h"
#include "win32_window/dialog_template.h"
#include "win32_window/modal_windows.h"
#include "win32_window/window_placement.h"
#include "win32_window/window_text.h"

namespace velmora::win32 {

namespace {

struct PasswordState {
    PasswordForm& form;
    HWND owner;
};

void submit(HWND dialog, PasswordForm& form) {
    HWND edit = GetDlgItem(dialog, kPasswordEditId);
    const bool keep = IsDlgButtonChecked(dialog, kPasswordKeepId) == BST_CHECKED;
    if (form.submit(windowText(edit), keep)) {
        EndDialog(dialog, IDOK);
        return;
    }
    setWindowText(GetDlgItem(dialog, kPasswordProblemId), form.problem());
    SetWindowTextW(edit, L"");
    SetFocus(edit);
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<PasswordState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        state = reinterpret_cast<PasswordState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        modalOpened(dialog);
        centreOnOwner(dialog, state->owner);
        SetFocus(GetDlgItem(dialog, kPasswordEditId));
        return FALSE;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, kPasswordProblemId)) {
            return redLabelColours(reinterpret_cast<HDC>(wParam));
        }
        return FALSE;
    case WM_COMMAND:
        if (state && LOWORD(wParam) == IDOK) submit(dialog, state->form);
        if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
    case WM_DESTROY: modalClosed(dialog); return FALSE;
    }
    return FALSE;
}

}  // namespace

void runPasswordDialog(HWND owner, PasswordForm& form) {
    // Laid out in dialog units, which follow the dialog font and the DPI.
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, toUtf16(form.caption()), 260, 112);
    dialog.add({.windowClass = L"STATIC", .text = toUtf16(form.prompt()), .id = kPasswordPromptId,
                .style = SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, .x = 7, .y = 7, .width = 246, .height = 10});
    dialog.add({.windowClass = L"STATIC", .text = toUtf16(form.problem()), .id = kPasswordProblemId,
                .style = SS_LEFT | SS_NOPREFIX, .x = 7, .y = 20, .width = 246, .height = 26});
    dialog.add({.windowClass = L"EDIT", .text = L"", .id = kPasswordEditId,
                .style = WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, .exStyle = WS_EX_CLIENTEDGE, .x = 7, .y = 50,
                .width = 246, .height = 14});
    dialog.add({.windowClass = L"BUTTON", .text = toUtf16(form.keepCaption()), .id = kPasswordKeepId,
                .style = WS_TABSTOP | BS_AUTOCHECKBOX, .x = 7, .y = 70, .width = 246, .height = 12});
    dialog.add({.windowClass = L"BUTTON", .text = toUtf16(texts().okButton), .id = IDOK,
                .style = WS_TABSTOP | BS_DEFPUSHBUTTON, .x = 146, .y = 91, .width = 50, .height = 14});
    dialog.add({.windowClass = L"BUTTON", .text = toUtf16(texts().cancelButton), .id = IDCANCEL,
                .style = WS_TABSTOP | BS_PUSHBUTTON, .x = 203, .y = 91, .width = 50, .height = 14});
    PasswordState state{form, owner};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), owner, dialogProcedure,
                            reinterpret_cast<LPARAM>(&state));
}

}  // namespace velmora::win32
