#include "win32_window/picture_box.h"

#include <windowsx.h>

#include <memory>

#include "win32_window/bitmap_paint.h"
#include "win32_window/control_ids.h"
#include "win32_window/dpi.h"
#include "win32_window/window_procedure.h"

namespace velmora::win32 {

namespace {

// Posted with a task to run once the paint has returned.
constexpr UINT kRunLater = WM_APP + 10;

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
    display_.setReports({.shown = callbacks_.painted,
                         .failed = callbacks_.decodeFailed,
                         .later = [this](std::function<void()> task) {
                             PostMessageW(window_, kRunLater, 0,
                                          reinterpret_cast<LPARAM>(new std::function<void()>(std::move(task))));
                         }});
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
    display_.paintDone();
}

bool PictureBox::onPicture(LPARAM point) const {
    const POINT at{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    return PtInRect(&picture_, at) != FALSE;
}

LRESULT PictureBox::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: paint(); return 0;
    case WM_LBUTTONDOWN:
        SetFocus(window_);  // the picture's keys work from here on
        click_.press(onPicture(lParam));
        SetCapture(window_);  // the release comes here, wherever it happens
        return 0;
    case WM_LBUTTONUP: {
        const bool clicked = click_.release(onPicture(lParam));
        if (GetCapture() == window_) ReleaseCapture();
        if (clicked && callbacks_.clicked) callbacks_.clicked();
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window_) click_.cancel();
        return 0;
    case kRunLater: {
        std::unique_ptr<std::function<void()>> task(reinterpret_cast<std::function<void()>*>(lParam));
        (*task)();
        return 0;
    }
    case WM_NCDESTROY: {
        // Reports still queued are dropped with the window.
        MSG pending;
        while (PeekMessageW(&pending, window_, kRunLater, kRunLater, PM_REMOVE)) {
            // PeekMessage hands out WM_QUIT whatever the filter: put it back for the loop.
            if (pending.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(pending.wParam));
                break;
            }
            delete reinterpret_cast<std::function<void()>*>(pending.lParam);
        }
        break;
    }
    default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace velmora::win32
