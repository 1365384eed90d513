#include "win32_window/picture_preview.h"

#include <commdlg.h>
#include <dlgs.h>

#include <cstring>

#include "base/utf16.h"
#include "store/imagefile/picture_file.h"
#include "store/picture/display_fit.h"
#include "win32_window/bitmap_paint.h"
#include "win32_window/control_ids.h"
#include "win32_window/dialog_template.h"

namespace velmora::win32 {

namespace {

// In dialog units: the pane beside the system's controls (placed in stc32).
constexpr short kPaneWidth = 110, kPaneHeight = 110;

}  // namespace

PicturePreview::PicturePreview() {
    // The template is taller than stc32: under Wine 8 a template no taller than stc32
    // left the dialog unpainted.
    DialogTemplate child(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL, L"", kPaneWidth + 12,
                         kPaneHeight + 8);
    // stc32 stands for the system's own controls: what lies right of it (and not below
    // its bottom) moves right as it grows, so the pane stays beside them, at the top.
    child.add({.windowClass = L"STATIC", .text = L"", .id = stc32, .style = 0, .x = 0, .y = 0, .width = 2, .height = 2});
    child.add({.windowClass = L"STATIC", .text = L"", .id = kPreviewPaneId, .style = SS_OWNERDRAW, .exStyle = WS_EX_CLIENTEDGE,
               .x = 6, .y = 0, .width = kPaneWidth, .height = kPaneHeight});
    // A memory object holding the template, as the dialog wants it.
    template_ = GlobalAlloc(GMEM_FIXED, child.sizeInBytes());
    if (template_) std::memcpy(template_, child.get(), child.sizeInBytes());
}

PicturePreview::~PicturePreview() {
    if (template_) GlobalFree(template_);
}

void PicturePreview::attach(OPENFILENAMEW& dialog) {
    if (!template_) return;
    dialog.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;
    dialog.hInstance = static_cast<HINSTANCE>(template_);
    dialog.lpfnHook = hook;
    dialog.lCustData = reinterpret_cast<LPARAM>(this);
}

std::optional<Bitmap> PicturePreview::fitted(const std::wstring& path, int width, int height,
                                             const ImageDecoder* decoder) {
    if (path.empty() || (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    try {
        JpegPicture picture = loadPictureFile(fromUtf16(path), decoder);
        const FitRect fit = displayFit(picture.width(), picture.height(), width, height,
                                       FitFlags{.stretch = false, .proportional = true, .center = true});
        if (fit.width <= 0 || fit.height <= 0) return std::nullopt;
        return picture.displayBitmap(fit.width, fit.height);
    } catch (const std::exception&) {
        return std::nullopt;  // not a picture this program reads: an empty pane
    }
}

void PicturePreview::show(HWND dialog) {
    wchar_t path[MAX_PATH * 4] = {};
    const LRESULT length = SendMessageW(GetParent(dialog), CDM_GETFILEPATH, MAX_PATH * 4, reinterpret_cast<LPARAM>(path));
    RECT pane{};
    HWND paneWindow = GetDlgItem(dialog, kPreviewPaneId);
    GetClientRect(paneWindow, &pane);
    shown_ = length > 0 ? fitted(path, pane.right, pane.bottom, &decoder_) : std::nullopt;
    InvalidateRect(paneWindow, nullptr, TRUE);
}

void PicturePreview::draw(const DRAWITEMSTRUCT& item) const {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (!shown_) return;
    const int x = (item.rcItem.right - item.rcItem.left - shown_->width()) / 2;
    const int y = (item.rcItem.bottom - item.rcItem.top - shown_->height()) / 2;
    paintBitmap(item.hDC, *shown_, item.rcItem.left + x, item.rcItem.top + y);
}

UINT_PTR CALLBACK PicturePreview::hook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* open = reinterpret_cast<const OPENFILENAMEW*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, open->lCustData);
        return 0;
    }
    auto* preview = reinterpret_cast<PicturePreview*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!preview) return 0;
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_SELCHANGE) preview->show(dialog);
    if (message == WM_DRAWITEM && reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->CtlID == kPreviewPaneId) {
        preview->draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return 0;
}

}  // namespace velmora::win32
