#include "win32_window/thumbnail_window.h"

#include <shlobj.h>

#include <algorithm>

#include "base/utf16.h"
#include "browser/texts.h"
#include "win32_window/bitmap_paint.h"
#include "win32_window/dpi.h"
#include "win32_window/dropped_files.h"
#include "win32_window/window_class.h"
#include "win32_window/window_procedure.h"

namespace velmora::win32 {

namespace {

constexpr int kListId = 1;
constexpr UINT kSyncSelection = WM_APP + 1;
constexpr UINT_PTR kScrollTimer = 1;
enum MenuId : UINT { kDelete = 100, kSave, kWallpaper, kLeaveOut, kPutBack };
// Where the window's place is kept.
constexpr wchar_t kPlacementKey[] = L"Software\\Velmora";
constexpr wchar_t kPlacementValue[] = L"ThumbnailWindow";

bool held(int virtualKey) { return GetKeyState(virtualKey) < 0; }

}  // namespace

ThumbnailWindow::ThumbnailWindow(HINSTANCE instance, ThumbnailForm& form, HWND owner)
    : instance_(instance), form_(form), owner_(owner) {}

ThumbnailWindow::~ThumbnailWindow() {
    form_.attach(nullptr);
    if (window_) DestroyWindow(window_);
    if (blank_) ImageList_Destroy(blank_);
    if (popup_) DestroyMenu(popup_);
}

void ThumbnailWindow::create() {
    registerWindowClass(kThumbnailWindowClass, ownedWindowProcedure<ThumbnailWindow, &ThumbnailWindow::window_>,
                        MAKEINTRESOURCEW(32512));
    const int dpi = dpiOf(owner_);
    CreateWindowExW(0, kThumbnailWindowClass, toUtf16(texts().thumbnailsCaption).c_str(),
                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, scaled(760, dpi),
                    scaled(520, dpi), owner_, nullptr, instance_, this);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_ICON | LVS_OWNERDATA | LVS_SHOWSELALWAYS |
                                LVS_AUTOARRANGE,
                            0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance_,
                            nullptr);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_DOUBLEBUFFER);
    popup_ = CreatePopupMenu();
    const std::pair<UINT, const char*> items[] = {{kDelete, texts().deleteItem},
                                                  {kSave, texts().saveItem},
                                                  {kWallpaper, texts().wallpaperItem},
                                                  {0, nullptr},
                                                  {kLeaveOut, texts().leaveOutItem},
                                                  {kPutBack, texts().putBackItem}};
    for (const auto& [id, caption] : items) {
        if (caption) {
            AppendMenuW(popup_, MF_STRING, id, toUtf16(caption).c_str());
        } else {
            AppendMenuW(popup_, MF_SEPARATOR, 0, nullptr);
        }
    }
    // The place it had when it was last closed.
    WINDOWPLACEMENT placement{};
    DWORD size = sizeof placement;
    if (RegGetValueW(HKEY_CURRENT_USER, kPlacementKey, kPlacementValue, RRF_RT_REG_BINARY, nullptr, &placement,
                     &size) == ERROR_SUCCESS &&
        size == sizeof placement) {
        placement.length = sizeof placement;
        placement.showCmd = SW_HIDE;
        SetWindowPlacement(window_, &placement);
    }
    DragAcceptFiles(window_, TRUE);
    SetTimer(window_, kScrollTimer, 100, nullptr);
}

void ThumbnailWindow::show() {
    if (!window_) create();
    form_.attach(this);
    form_.setPixelRatio(pixelRatioOf(dpiOf(window_)));
    applySize();
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(list_);
    refreshThumbnails();
    revealRow(form_.currentRow());
}

void ThumbnailWindow::applySize() {
    // One blank image of the picture's square in device pixels: the list lays out the
    // cells around it, and each cell's picture is drawn into it.
    const int edge = form_.deviceEdge();
    if (blank_) ImageList_Destroy(blank_);
    blank_ = ImageList_Create(edge, edge, ILC_COLOR32, 1, 0);
    ImageList_SetImageCount(blank_, 1);
    ListView_SetImageList(list_, blank_, LVSIL_NORMAL);
    const int dpi = dpiOf(window_);
    ListView_SetIconSpacing(list_, edge + scaled(16, dpi), edge + scaled(40, dpi));
    InvalidateRect(list_, nullptr, TRUE);
}

void ThumbnailWindow::refreshThumbnails() {
    if (!list_) return;
    const int rows = form_.rowCount();
    if (ListView_GetItemCount(list_) != rows) ListView_SetItemCountEx(list_, rows, LVSICF_NOSCROLL);
    syncSelection();
    InvalidateRect(list_, nullptr, FALSE);
    updateVisible();
}

void ThumbnailWindow::thumbnailsArrived() {
    if (list_) InvalidateRect(list_, nullptr, FALSE);
}

void ThumbnailWindow::revealRow(int row) {
    if (list_ && row >= 0 && row < ListView_GetItemCount(list_)) ListView_EnsureVisible(list_, row, FALSE);
    updateVisible();
}

std::optional<std::string> ThumbnailWindow::chooseFolder(const std::string& caption) {
    const std::wstring title = toUtf16(caption);
    BROWSEINFOW info{};
    info.hwndOwner = window_;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    const bool found = SHGetPathFromIDListW(chosen, path);
    CoTaskMemFree(chosen);
    if (!found) return std::nullopt;
    return fromUtf16(path);
}

void ThumbnailWindow::syncSelection() {
    syncing_ = true;
    const std::vector<int> selected = form_.selectedRows();
    // Every row at once (Ctrl+A on 100,000 pictures) in one message, not one per row.
    const bool all = !selected.empty() && static_cast<int>(selected.size()) == form_.rowCount();
    ListView_SetItemState(list_, -1, all ? LVIS_SELECTED : 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (!all) {
        for (const int row : selected) ListView_SetItemState(list_, row, LVIS_SELECTED, LVIS_SELECTED);
    }
    const int current = form_.currentRow();
    if (current >= 0) ListView_SetItemState(list_, current, LVIS_FOCUSED, LVIS_FOCUSED);
    syncing_ = false;
}

void ThumbnailWindow::updateVisible() {
    if (!list_) return;
    // Rows of cells from the view's origin: what is on screen now.
    POINT origin{};
    ListView_GetOrigin(list_, &origin);
    shownOrigin_ = origin;
    RECT client{};
    GetClientRect(list_, &client);
    const DWORD spacing = static_cast<DWORD>(ListView_GetItemSpacing(list_, FALSE));
    const int width = std::max<int>(LOWORD(spacing), 1), height = std::max<int>(HIWORD(spacing), 1);
    const int columns = std::max<int>(1, (client.right - client.left) / width);
    const int firstLine = std::max<int>(0, origin.y / height);
    const int lastLine = (origin.y + client.bottom) / height;
    form_.showRows(firstLine * columns, (lastLine + 1) * columns - 1);
}

void ThumbnailWindow::paintCell(HDC dc, int row, const RECT& icon) {
    const int edge = form_.deviceEdge();
    const RECT box{icon.left + (icon.right - icon.left - edge) / 2, icon.top, icon.left + (icon.right - icon.left + edge) / 2,
                   icon.top + edge};
    const ThumbnailForm::Cell cell = form_.cell(row);
    if (cell.picture) {
        paintBitmap(dc, *cell.picture, box.left + (edge - cell.picture->width()) / 2,
                    box.top + (edge - cell.picture->height()) / 2);
    } else {
        // Until the picture is made a plain square; one that cannot be decoded is crossed
        // and named, never another picture.
        HBRUSH grey = CreateSolidBrush(RGB(225, 225, 225));
        FillRect(dc, &box, grey);
        DeleteObject(grey);
        if (cell.failed) {
            MoveToEx(dc, box.left, box.top, nullptr);
            LineTo(dc, box.right, box.bottom);
            MoveToEx(dc, box.right, box.top, nullptr);
            LineTo(dc, box.left, box.bottom);
            RECT text = box;
            std::wstring name = toUtf16(form_.name(row));
            SetBkMode(dc, TRANSPARENT);
            DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    if (form_.leftOut(row)) {
        // Left out of rotation: a struck-through circle in the corner.
        const int size = edge / 9 + 6;
        HPEN red = CreatePen(PS_SOLID, 2, RGB(200, 30, 30));
        HGDIOBJ oldPen = SelectObject(dc, red);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
        Ellipse(dc, box.right - size - 3, box.top + 3, box.right - 3, box.top + 3 + size);
        MoveToEx(dc, box.right - size, box.top + 6, nullptr);
        LineTo(dc, box.right - 6, box.top + size);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(red);
    }
}

LRESULT ThumbnailWindow::customDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPOSTPAINT: {
        const int row = static_cast<int>(draw->nmcd.dwItemSpec);
        RECT icon{};
        icon.left = LVIR_ICON;
        if (SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&icon)))
            paintCell(draw->nmcd.hdc, row, icon);
        return CDRF_DODEFAULT;
    }
    default: return CDRF_DODEFAULT;
    }
}

bool ThumbnailWindow::key(WPARAM virtualKey) {
    const bool ctrl = held(VK_CONTROL);
    if (virtualKey == VK_DELETE) {
        form_.deleteSelected();
    } else if (ctrl && virtualKey == 'A') {
        form_.selectAll();
    } else if (ctrl && (virtualKey == VK_OEM_PLUS || virtualKey == VK_ADD)) {
        if (form_.larger()) applySize();
    } else if (ctrl && (virtualKey == VK_OEM_MINUS || virtualKey == VK_SUBTRACT)) {
        if (form_.smaller()) applySize();
    } else {
        return false;
    }
    return true;
}

LRESULT ThumbnailWindow::notify(NMHDR* header) {
    if (header->hwndFrom != list_) return 0;
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        if (info->item.mask & LVIF_IMAGE) info->item.iImage = 0;
        if (info->item.mask & LVIF_TEXT) {
            text_ = toUtf16(form_.name(info->item.iItem));
            info->item.pszText = text_.data();
        }
        return 0;
    }
    case NM_CUSTOMDRAW: return customDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case LVN_ITEMCHANGED: {
        // The list moved its focus (a click or a key): the form decides what is selected.
        const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (!syncing_ && change->iItem >= 0 && (change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_FOCUSED) &&
            !(change->uOldState & LVIS_FOCUSED)) {
            form_.click(change->iItem, held(VK_CONTROL), held(VK_SHIFT));
            PostMessageW(window_, kSyncSelection, 0, 0);
        }
        return 0;
    }
    case NM_CLICK:
    case NM_RCLICK: {
        const auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
        const bool plain = !(click->uKeyFlags & (LVKF_CONTROL | LVKF_SHIFT));
        if (click->iItem >= 0 && plain && !(header->code == NM_RCLICK && form_.selected(click->iItem)))
            form_.click(click->iItem);
        PostMessageW(window_, kSyncSelection, 0, 0);
        if (header->code == NM_RCLICK) {
            POINT at{};
            GetCursorPos(&at);
            TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
        }
        return 0;
    }
    case LVN_ITEMACTIVATE: form_.openViewer(); return 0;
    case LVN_KEYDOWN: key(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey); return 0;
    case LVN_ENDSCROLL: updateVisible(); return 0;
    default: return 0;
    }
}

void ThumbnailWindow::keepPlacement() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window_, &placement))
        RegSetKeyValueW(HKEY_CURRENT_USER, kPlacementKey, kPlacementValue, REG_BINARY, &placement, sizeof placement);
}

LRESULT ThumbnailWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: {
        MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        updateVisible();
        return 0;
    }
    case WM_SETFOCUS: SetFocus(list_); return 0;
    case WM_NOTIFY: return notify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kDelete: form_.deleteSelected(); break;
        case kSave: form_.exportSelected(); break;
        case kWallpaper: form_.setAsWallpaper(); break;
        case kLeaveOut: form_.setLeftOut(true); break;
        case kPutBack: form_.setLeftOut(false); break;
        default: break;
        }
        return 0;
    case kSyncSelection: syncSelection(); return 0;
    case WM_TIMER: {
        // Scrolling by the wheel or the bar: the rows on screen are asked for again.
        POINT origin{};
        if (list_ && ListView_GetOrigin(list_, &origin) && (origin.x != shownOrigin_.x || origin.y != shownOrigin_.y))
            updateVisible();
        return 0;
    }
    case WM_DROPFILES: {
        // Files dropped on the window are added, as on the main window.
        const std::vector<std::string> files = takeDroppedFiles(reinterpret_cast<HDROP>(wParam));
        if (form_.acceptsDrop(files)) form_.drop(files);
        return 0;
    }
    case WM_CLOSE:
        keepPlacement();
        form_.attach(nullptr);
        ShowWindow(window_, SW_HIDE);
        return 0;
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace velmora::win32
