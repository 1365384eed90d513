#include "win32_window/name_dialog.h"

#include <commctrl.h>

#include "base/utf16.h"
#include "browser/texts.h"
#include "win32_window/control_ids.h"
#include "win32_window/dialog_template.h"
#include "win32_window/dpi.h"
#include "win32_window/message_boxes.h"
#include "win32_window/modal_windows.h"
#include "win32_window/window_placement.h"
#include "win32_window/window_text.h"

namespace velmora::win32 {

namespace {

struct DialogState {
    const TextRequest& request;
    const NameDialogDesign& design;
    HWND owner;
    HFONT labelFont = nullptr;
};

DWORD dialogStyle(const NameDialogDesign& design) {
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    style |= design.resizable ? WS_THICKFRAME : DS_MODALFRAME;
    if (design.minMaxBoxes) style |= WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    return style;
}

void place(HWND control, const DialogRect& rect, int dpi) {
    MoveWindow(control, scaled(rect.x, dpi), scaled(rect.y, dpi), scaled(rect.width, dpi), scaled(rect.height, dpi),
               FALSE);
}

// The design's outer size or client size and its place on the screen, in pixels.
void placeDialog(HWND dialog, const DialogState& state, int dpi) {
    const NameDialogDesign& design = state.design;
    RECT frame{0, 0, scaled(design.width, dpi), scaled(design.height, dpi)};
    if (design.clientSize) {
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    }
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (design.screenPosition) {
        SetWindowPos(dialog, nullptr, scaled(design.screenPosition->x, dpi), scaled(design.screenPosition->y, dpi), 0,
                     0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        centreOnOwner(dialog, state.owner);
    }
}

// Enter and Esc do nothing in these dialogs: the edit box and the buttons take the
// keys themselves (so the dialog manager never turns them into a button press) and
// drop them.
LRESULT CALLBACK keysDropped(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const bool enterOrEscape = wParam == VK_RETURN || wParam == VK_ESCAPE;
    switch (message) {
    case WM_GETDLGCODE: {
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DefSubclassProc(control, message, wParam, lParam);
        if (key && key->message == WM_KEYDOWN && (key->wParam == VK_RETURN || key->wParam == VK_ESCAPE)) {
            code |= DLGC_WANTMESSAGE;
        }
        return code;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (enterOrEscape) return 0;
        break;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == L'\n' || wParam == 0x1B) return 0;
        break;
    case WM_NCDESTROY: RemoveWindowSubclass(control, keysDropped, 0); break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

void initialise(HWND dialog, DialogState& state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    modalOpened(dialog);
    const NameDialogDesign& design = state.design;
    const int dpi = dpiOf(state.owner);
    placeDialog(dialog, state, dpi);
    HWND label = GetDlgItem(dialog, kNameDialogLabelId);
    HWND edit = GetDlgItem(dialog, kNameDialogEditId);
    place(label, design.labelGeometry, dpi);
    place(edit, design.editGeometry, dpi);
    place(GetDlgItem(dialog, kNameDialogOkId), design.okGeometry, dpi);
    place(GetDlgItem(dialog, kNameDialogCancelId), design.cancelGeometry, dpi);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfHeight = -scaled(design.labelFontHeight, dpi);
    font.lfWidth = 0;
    font.lfWeight = design.labelBold ? FW_BOLD : FW_NORMAL;
    state.labelFont = CreateFontIndirectW(&font);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(state.labelFont), FALSE);
    for (int id : {kNameDialogEditId, kNameDialogOkId, kNameDialogCancelId}) {
        SetWindowSubclass(GetDlgItem(dialog, id), keysDropped, 0, 0);
    }
    for (const std::string& offered : state.request.offered) {
        SendMessageW(edit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toUtf16(offered).c_str()));
    }
    if (!state.request.offered.empty()) {
        // A combo box's height takes in its drop-down list.
        RECT box;
        GetWindowRect(edit, &box);
        SetWindowPos(edit, nullptr, 0, 0, box.right - box.left, scaled(design.editGeometry.height * 9, dpi),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    setWindowText(edit, state.request.text);
    SetFocus(edit);
    SendMessageW(edit, state.request.offered.empty() ? EM_SETSEL : CB_SETEDITSEL, 0,
                 state.request.offered.empty() ? -1 : MAKELPARAM(0, -1));
}

void accept(HWND dialog, DialogState& state) {
    const std::string text = windowText(GetDlgItem(dialog, kNameDialogEditId));
    bool accepted = false;
    try {
        accepted = state.request.accept(text);
    } catch (const std::exception& error) {
        // The core reports its own errors; nothing may unwind through the dialog manager.
        messageBox(dialog, MessageKind::Error, error.what(), {});
    }
    if (accepted) EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: initialise(dialog, *reinterpret_cast<DialogState*>(lParam)); return FALSE;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, kNameDialogLabelId)) {
            return redLabelColours(reinterpret_cast<HDC>(wParam));
        }
        return FALSE;
    case WM_COMMAND:
        // IDOK and IDCANCEL (what the dialog manager makes of Enter and Esc) do nothing.
        if (state && HIWORD(wParam) == BN_CLICKED) {
            if (LOWORD(wParam) == kNameDialogOkId) accept(dialog, *state);
            if (LOWORD(wParam) == kNameDialogCancelId) EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
    case WM_DESTROY:
        modalClosed(dialog);
        if (state && state->labelFont) DeleteObject(state->labelFont);
        return FALSE;
    }
    return FALSE;
}

}  // namespace

void runNameDialog(HWND owner, const TextRequest& request) {
    const NameDialogDesign& design = nameDialogDesign(request.dialog);
    const TextTable& text = texts();
    DialogTemplate dialog(dialogStyle(design), toUtf16(text.*design.caption));
    dialog.add({.windowClass = L"STATIC", .text = toUtf16(text.*design.label), .id = kNameDialogLabelId,
                .style = SS_LEFT | SS_NOPREFIX});
    if (request.offered.empty()) {
        dialog.add({.windowClass = L"EDIT", .text = L"", .id = kNameDialogEditId,
                    .style = WS_TABSTOP | ES_AUTOHSCROLL, .exStyle = WS_EX_CLIENTEDGE});
    } else {
        // The texts used last, in a drop-down list under the edit box.
        dialog.add({.windowClass = L"COMBOBOX", .text = L"", .id = kNameDialogEditId,
                    .style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL});
    }
    dialog.add({.windowClass = L"BUTTON", .text = toUtf16(text.okButton), .id = kNameDialogOkId,
                .style = WS_TABSTOP | BS_PUSHBUTTON});
    dialog.add({.windowClass = L"BUTTON", .text = toUtf16(text.cancelButton),
                .id = kNameDialogCancelId, .style = WS_TABSTOP | BS_PUSHBUTTON});
    DialogState state{request, design, owner};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), owner, dialogProcedure,
                            reinterpret_cast<LPARAM>(&state));
}

}  // namespace velmora::win32
