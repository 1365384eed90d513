#include "tests/win32_driver/screen_capture.h"

#include <cstdlib>
#include <cstring>

#include "tests/win32_driver/step.h"

namespace velmora::driver {

Bitmap captureScreen(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    require(width > 0 && height > 0, "nothing to capture: an empty rectangle");
    Bitmap shot(width, height, Bitmap::Format::Bgr24);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first, as Bitmap keeps it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (section) {
        HGDIOBJ previous = SelectObject(memory, section);
        copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
        GdiFlush();
        // A DIB section's rows are padded to 4 bytes, as Bitmap's are.
        if (copied) std::memcpy(shot.scanLine(0), bits, shot.bytesPerLine() * static_cast<std::size_t>(height));
        SelectObject(memory, previous);
        DeleteObject(section);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    require(copied, "cannot read the screen");
    return shot;
}

Bitmap captureClientArea(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return captureScreen(rect);
}

Bitmap captureWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return captureScreen(rect);
}

double meanDifference(const Bitmap& shot, int left, int top, const Bitmap& expected) {
    require(left >= 0 && top >= 0 && left + expected.width() <= shot.width() &&
                top + expected.height() <= shot.height(),
            "the expected picture does not fit into the captured area");
    const Bitmap wanted = expected.toBgr24();
    long long total = 0;
    for (int y = 0; y < wanted.height(); ++y) {
        const std::uint8_t* found = shot.scanLine(top + y) + left * 3;
        const std::uint8_t* want = wanted.scanLine(y);
        for (int i = 0; i < wanted.width() * 3; ++i) total += std::abs(found[i] - want[i]);
    }
    const double samples = 3.0 * wanted.width() * wanted.height();
    return samples > 0 ? static_cast<double>(total) / samples : 0.0;
}

}  // namespace velmora::driver
