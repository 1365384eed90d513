#include "win32_window/trash_dialog.h"

#include <commctrl.h>

#include <memory>

#include "base/utf16.h"
#include "browser/texts.h"
#include "browser/trash_form.h"
#include "win32_window/control_ids.h"
#include "win32_window/dialog_template.h"
#include "win32_window/dpi.h"
#include "win32_window/message_boxes.h"
#include "win32_window/modal_windows.h"
#include "win32_window/window_placement.h"
#include "win32_window/window_text.h"

namespace velmora::win32 {

namespace {

// The layout at 96 DPI: initial client size, margin, spacing, button size, column widths.
constexpr int kWidth = 520, kHeight = 360, kMargin = 11, kSpacing = 6;
constexpr int kButtonWidth = 88, kButtonHeight = 26, kLabelHeight = 20;
constexpr int kDateColumnWidth = 150, kSizeColumnWidth = 80;

struct TrashState {
    const TrashRequest& request;
    HWND owner;
    std::unique_ptr<TrashForm> form{};  // made when the dialog opens
    bool showing = false;               // the form's selection is being shown
};

HWND item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void updateButtons(HWND dialog, const TrashForm& form) {
    EnableWindow(item(dialog, kTrashRestoreId), form.canRestore());
    EnableWindow(item(dialog, kTrashDeleteId), form.canDeleteForever());
    EnableWindow(item(dialog, kTrashEmptyId), form.canEmpty());
}

// Shows the form's rows, its selection and its buttons.
void showForm(HWND dialog, TrashState& state) {
    const TrashForm& form = *state.form;
    HWND list = item(dialog, kTrashListId);
    state.showing = true;
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t at = 0; at < form.rows().size(); ++at) {
        const TrashForm::Row& shown = form.rows()[at];
        std::wstring cells[] = {toUtf16(shown.name), toUtf16(shown.date), toUtf16(shown.size)};
        LVITEMW row{};
        row.mask = LVIF_TEXT;
        row.iItem = static_cast<int>(at);
        row.pszText = cells[0].data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
        for (int column = 1; column < 3; ++column) {
            row.iSubItem = column;
            row.pszText = cells[column].data();
            SendMessageW(list, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&row));
        }
    }
    if (form.selected() >= 0) {
        LVITEMW selected{};
        selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        selected.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(form.selected()), reinterpret_cast<LPARAM>(&selected));
    }
    state.showing = false;
    setWindowText(item(dialog, kTrashSpaceId), form.space());
    updateButtons(dialog, form);
}

// The list fills the dialog; the space label and the buttons go along its bottom, the
// close button on the right.
void layOut(HWND dialog) {
    const int dpi = dpiOf(dialog);
    RECT client{};
    GetClientRect(dialog, &client);
    const int margin = scaled(kMargin, dpi), spacing = scaled(kSpacing, dpi);
    const int buttonWidth = scaled(kButtonWidth, dpi), buttonHeight = scaled(kButtonHeight, dpi);
    const int labelHeight = scaled(kLabelHeight, dpi);
    const int buttonsTop = client.bottom - margin - buttonHeight;
    const int labelTop = buttonsTop - spacing - labelHeight;
    HWND list = item(dialog, kTrashListId);
    MoveWindow(list, margin, margin, client.right - 2 * margin, labelTop - spacing - margin, TRUE);
    MoveWindow(item(dialog, kTrashSpaceId), margin, labelTop, client.right - 2 * margin, labelHeight, TRUE);
    int x = margin;
    for (int id : {kTrashRestoreId, kTrashDeleteId, kTrashEmptyId}) {
        MoveWindow(item(dialog, id), x, buttonsTop, buttonWidth, buttonHeight, TRUE);
        x += buttonWidth + spacing;
    }
    MoveWindow(item(dialog, kTrashCloseId), client.right - margin - buttonWidth, buttonsTop, buttonWidth, buttonHeight,
               TRUE);
    // The name column takes what the others leave.
    RECT inside{};
    GetClientRect(list, &inside);
    const int nameWidth = inside.right - scaled(kDateColumnWidth + kSizeColumnWidth, dpi);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, nameWidth > 0 ? nameWidth : scaled(100, dpi));
}

void initialise(HWND dialog, TrashState& state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    const int dpi = dpiOf(state.owner);
    RECT frame{0, 0, scaled(kWidth, dpi), scaled(kHeight, dpi)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    centreOnOwner(dialog, state.owner);
    HWND list = item(dialog, kTrashListId);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const TextTable& text = texts();
    const struct {
        const char* caption;
        int width;
        int format;
    } columns[] = {{text.trashNameColumn, 200, LVCFMT_LEFT},
                   {text.trashDateColumn, kDateColumnWidth, LVCFMT_LEFT},
                   {text.trashSizeColumn, kSizeColumnWidth, LVCFMT_RIGHT}};
    for (int i = 0; i < 3; ++i) {
        std::wstring caption = toUtf16(columns[i].caption);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = columns[i].format;
        column.cx = scaled(columns[i].width, dpi);
        column.pszText = caption.data();
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    layOut(dialog);
    state.form = std::make_unique<TrashForm>(state.request);
    showForm(dialog, state);
}

void command(HWND dialog, TrashState& state, int id) {
    bool changed = false;
    if (id == kTrashRestoreId) {
        changed = state.form->restore();
    } else if (id == kTrashDeleteId) {
        changed = state.form->deleteForever();
    } else if (id == kTrashEmptyId) {
        changed = state.form->empty();
    } else if (id == kTrashCloseId || id == IDCANCEL) {
        EndDialog(dialog, IDOK);  // the close button, Esc and the close box
        return;
    }
    if (changed) showForm(dialog, state);
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<TrashState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        modalOpened(dialog);
        initialise(dialog, *reinterpret_cast<TrashState*>(lParam));
        return TRUE;
    case WM_DESTROY: modalClosed(dialog); return FALSE;
    case WM_SIZE: layOut(dialog); return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (state && state->form && !state->showing && header->idFrom == static_cast<UINT_PTR>(kTrashListId) &&
            header->code == LVN_ITEMCHANGED) {
            const int row = static_cast<int>(SendMessageW(item(dialog, kTrashListId), LVM_GETNEXTITEM,
                                                          static_cast<WPARAM>(-1), LVNI_SELECTED));
            state->form->select(row);
            updateButtons(dialog, *state->form);
        }
        return FALSE;
    }
    case WM_COMMAND:
        if (state && state->form && HIWORD(wParam) == BN_CLICKED) {
            // The core reports its own errors; nothing may unwind through the dialog manager.
            try {
                command(dialog, *state, LOWORD(wParam));
            } catch (const std::exception& error) {
                messageBox(dialog, MessageKind::Error, error.what(), {});
            }
        }
        return TRUE;
    case WM_CLOSE: EndDialog(dialog, IDOK); return TRUE;
    }
    return FALSE;
}

}  // namespace

void runTrashDialog(HWND owner, const TrashRequest& request) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const TextTable& text = texts();
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, toUtf16(text.trashCaption));
    dialog.add({.windowClass = WC_LISTVIEWW, .text = L"", .id = kTrashListId,
                .style = WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER});
    dialog.add({.windowClass = L"STATIC", .text = L"", .id = kTrashSpaceId, .style = SS_LEFT | SS_NOPREFIX});
    const struct {
        const char* caption;
        int id;
    } buttons[] = {{text.trashRestoreButton, kTrashRestoreId},
                   {text.trashDeleteButton, kTrashDeleteId},
                   {text.trashEmptyButton, kTrashEmptyId},
                   {text.trashCloseButton, kTrashCloseId}};
    for (const auto& button : buttons) {
        dialog.add({.windowClass = L"BUTTON", .text = toUtf16(button.caption), .id = button.id,
                    .style = WS_TABSTOP | BS_PUSHBUTTON});
    }
    TrashState state{request, owner, {}};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), owner, dialogProcedure,
                            reinterpret_cast<LPARAM>(&state));
}

}  // namespace velmora::win32
