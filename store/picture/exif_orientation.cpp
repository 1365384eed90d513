#include "store/picture/exif_orientation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "store/picture/exif_tiff.h"

namespace velmora {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;

// Where upright pixel (x, y) starts in the stored bytes: origin + x * stepX + y * stepY.
struct Steps {
    std::ptrdiff_t origin;
    std::ptrdiff_t stepX;
    std::ptrdiff_t stepY;
};

// Copies tile by tile, so that a turn's column-wise reads stay in the cache.
template <int kPixelBytes>
void copyTurned(const Bitmap& stored, Bitmap& upright, const Steps& steps) {
    constexpr int kTile = 64;
    const std::uint8_t* in = stored.bits();
    const int width = upright.width();
    const int height = upright.height();
    for (int top = 0; top < height; top += kTile) {
        const int bottom = std::min(top + kTile, height);
        for (int left = 0; left < width; left += kTile) {
            const int right = std::min(left + kTile, width);
            for (int y = top; y < bottom; ++y) {
                std::uint8_t* out = upright.scanLine(y) + static_cast<std::ptrdiff_t>(left) * kPixelBytes;
                std::ptrdiff_t at = steps.origin + left * steps.stepX + y * steps.stepY;
                for (int x = left; x < right; ++x, at += steps.stepX, out += kPixelBytes) {
                    for (int b = 0; b < kPixelBytes; ++b) out[b] = in[at + b];
                }
            }
        }
    }
}

}  // namespace

Orientation exifOrientation(const Bytes& jpeg) {
    int value = 0;
    visitExifSegments(jpeg, [&](const TiffView& tiff) {
        value = static_cast<int>(tiffNumber(tiff, tiff.u32(4), kOrientationTag, true));
        return value != 0;
    });
    return value >= 1 && value <= 8 ? static_cast<Orientation>(value) : Orientation::Normal;
}

bool swapsWidthAndHeight(Orientation orientation) {
    return static_cast<int>(orientation) >= static_cast<int>(Orientation::Transpose);
}

Bitmap orientBitmap(const Bitmap& stored, Orientation orientation) {
    if (orientation == Orientation::Normal || stored.empty()) return stored;
    const std::ptrdiff_t w = stored.width();
    const std::ptrdiff_t h = stored.height();
    // The stored pixel of upright (x, y) is (sx, sy) = (ax x + bx y + cx, ay x + by y + cy).
    std::ptrdiff_t ax = 1, bx = 0, cx = 0, ay = 0, by = 1, cy = 0;
    switch (orientation) {
    case Orientation::Normal: break;
    case Orientation::MirrorHorizontal: ax = -1, cx = w - 1; break;
    case Orientation::Rotate180: ax = -1, cx = w - 1, by = -1, cy = h - 1; break;
    case Orientation::MirrorVertical: by = -1, cy = h - 1; break;
    case Orientation::Transpose: ax = 0, bx = 1, ay = 1, by = 0; break;
    case Orientation::Rotate90: ax = 0, bx = 1, ay = -1, by = 0, cy = h - 1; break;
    case Orientation::Transverse: ax = 0, bx = -1, cx = w - 1, ay = -1, by = 0, cy = h - 1; break;
    case Orientation::Rotate270: ax = 0, bx = -1, cx = w - 1, ay = 1, by = 0; break;
    }
    const bool swap = swapsWidthAndHeight(orientation);
    Bitmap upright(static_cast<int>(swap ? h : w), static_cast<int>(swap ? w : h), stored.format());
    upright.setPalette(stored.palette());
    const std::ptrdiff_t pixelBytes = stored.bitsPerPixel() / 8;
    const auto stride = static_cast<std::ptrdiff_t>(stored.bytesPerLine());
    const Steps steps{cx * pixelBytes + cy * stride, ax * pixelBytes + ay * stride, bx * pixelBytes + by * stride};
    if (pixelBytes == 3) {
        copyTurned<3>(stored, upright, steps);
    } else {
        copyTurned<1>(stored, upright, steps);
    }
    return upright;
}

}  // namespace velmora
