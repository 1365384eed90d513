#include "win32_window/picture_box.h"

#include <windowsx.h>

#include "win32_window/bitmap_paint.h"
#include "win32_window/control_ids.h"
#include "win32_window/dpi.h"
#include "win32_window/window_procedure.h"

namespace velmora::win32 {

namespace {

// Posted to report a decoder error once the paint has returned.
constexpr UINT kReportError = WM_APP + 10;

constexpr FitFlags kMainWindowFit{.stretch = false, .proportional = true, .center = true};

}  // namespace

void PictureBox::registerClass(HINSTANCE instance) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof(type);
    type.lpfnWndProc = ownedWindowProcedure<PictureBox, &PictureBox::window_>;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // IDC_HAND
    type.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    type.lpszClassName = kPictureBoxClass;
    RegisterClassExW(&type);
}

void PictureBox::create(HWND parent, HINSTANCE instance, int id, Callbacks callbacks) {
    callbacks_ = std::move(callbacks);
    window_ = CreateWindowExW(WS_EX_CLIENTEDGE, kPictureBoxClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
}

void PictureBox::place(const RECT& area, const DialogRect& picture, int dpi) {
    place_ = picture;
    dpi_ = dpi;
    picture_ = RECT{scaled(picture.x, dpi), scaled(picture.y, dpi), scaled(picture.x + picture.width, dpi),
                    scaled(picture.y + picture.height, dpi)};
    MoveWindow(window_, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    InvalidateRect(window_, nullptr, TRUE);
}

void PictureBox::setPicture(const JpegPicture& picture, std::optional<std::string> decoderError) {
    display_.setPicture(picture, std::move(decoderError));
    InvalidateRect(window_, nullptr, TRUE);
}

void PictureBox::clear() {
    display_.clear();
    InvalidateRect(window_, nullptr, TRUE);
}

DisplayTarget PictureBox::displayTarget() const {
    return DisplayTarget{place_.width, place_.height, kMainWindowFit, pixelRatioOf(dpi_)};
}

void PictureBox::paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    if (display_.hasPicture()) {
        const DisplayTarget target = displayTarget();
        const PictureDisplay::Frame frame = display_.frame(target);
        if (frame.bitmap) {
            paintBitmap(dc, *frame.bitmap, picture_.left + target.device(frame.rect.left),
                        picture_.top + target.device(frame.rect.top));
        }
    }
    EndPaint(window_, &paint);
    if (!display_.hasPicture()) return;
    if (std::optional<std::string> error = display_.takeError()) {
        // Reported after the paint, as a message of its own.
        PostMessageW(window_, kReportError, 0, reinterpret_cast<LPARAM>(new std::string(std::move(*error))));
    }
    if (callbacks_.painted) callbacks_.painted();
}

LRESULT PictureBox::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: paint(); return 0;
    case WM_LBUTTONUP: {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (PtInRect(&picture_, point) && callbacks_.clicked) callbacks_.clicked();
        return 0;
    }
    case kReportError: {
        auto* error = reinterpret_cast<std::string*>(lParam);
        const std::string text = std::move(*error);
        delete error;
        if (callbacks_.decodeFailed) callbacks_.decodeFailed(text);
        return 0;
    }
    case WM_NCDESTROY: {
        // Errors still queued are dropped with the window.
        MSG pending;
        while (PeekMessageW(&pending, window_, kReportError, kReportError, PM_REMOVE)) {
            // PeekMessage hands out WM_QUIT whatever the filter: put it back for the loop.
            if (pending.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(pending.wParam));
                break;
            }
            delete reinterpret_cast<std::string*>(pending.lParam);
        }
        break;
    }
    default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace velmora::win32
