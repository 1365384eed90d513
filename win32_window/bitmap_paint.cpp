#include "win32_window/bitmap_paint.h"

#include <vector>

namespace velmora::win32 {

namespace {

// A BITMAPINFO of bitmap with room for a 256-entry colour table.
std::vector<unsigned char> bitmapInfo(const Bitmap& bitmap) {
    std::vector<unsigned char> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = bitmap.width();
    header->biHeight = -bitmap.height();  // top row first
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bitmap.bitsPerPixel());
    header->biCompression = BI_RGB;
    if (bitmap.format() == Bitmap::Format::Indexed8) {
        auto* colours = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
        const auto& palette = bitmap.palette();
        for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
            colours[i] = RGBQUAD{palette[i].blue, palette[i].green, palette[i].red, 0};
        }
        header->biClrUsed = 256;
    }
    return info;
}

}  // namespace

void paintBitmap(HDC dc, const Bitmap& bitmap, int x, int y) {
    if (bitmap.empty()) return;
    std::vector<unsigned char> info = bitmapInfo(bitmap);
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(bitmap.width()), static_cast<DWORD>(bitmap.height()), 0, 0, 0,
                      static_cast<UINT>(bitmap.height()), bitmap.bits(), reinterpret_cast<BITMAPINFO*>(info.data()),
                      DIB_RGB_COLORS);
}

void paintBitmap(HDC dc, const Bitmap& bitmap, const RECT& target) {
    if (bitmap.empty()) return;
    const int width = target.right - target.left, height = target.bottom - target.top;
    if (width == bitmap.width() && height == bitmap.height()) return paintBitmap(dc, bitmap, target.left, target.top);
    std::vector<unsigned char> info = bitmapInfo(bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, target.left, target.top, width, height, 0, 0, bitmap.width(), bitmap.height(), bitmap.bits(),
                  reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace velmora::win32
