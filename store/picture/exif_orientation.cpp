#include "store/picture/exif_orientation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velmora {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;

// Reads 16- and 32-bit values of a TIFF structure in its own byte order.
class TiffView {
public:
    TiffView(const std::uint8_t* data, std::size_t size, bool bigEndian)
        : data_(data), size_(size), bigEndian_(bigEndian) {}

    bool has(std::size_t offset, std::size_t count) const { return offset <= size_ && count <= size_ - offset; }

    std::uint16_t u16(std::size_t offset) const {
        const std::uint16_t a = data_[offset];
        const std::uint16_t b = data_[offset + 1];
        return static_cast<std::uint16_t>(bigEndian_ ? (a << 8 | b) : (b << 8 | a));
    }
    std::uint32_t u32(std::size_t offset) const {
        const std::uint32_t high = u16(offset);
        const std::uint32_t low = u16(offset + 2);
        return bigEndian_ ? (high << 16 | low) : (low << 16 | high);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    bool bigEndian_;
};

// The orientation in an Exif APP1 payload ("Exif\0\0" + TIFF header + IFD0), or 0.
int orientationInExif(const std::uint8_t* payload, std::size_t size) {
    static constexpr std::uint8_t kExifId[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (size < 6 + 8 || std::memcmp(payload, kExifId, 6) != 0) return 0;
    const std::uint8_t* tiff = payload + 6;
    const std::size_t tiffSize = size - 6;
    bool bigEndian;
    if (tiff[0] == 'I' && tiff[1] == 'I') {
        bigEndian = false;
    } else if (tiff[0] == 'M' && tiff[1] == 'M') {
        bigEndian = true;
    } else {
        return 0;
    }
    const TiffView view(tiff, tiffSize, bigEndian);
    if (view.u16(2) != 42) return 0;
    const std::uint32_t ifd = view.u32(4);
    if (!view.has(ifd, 2)) return 0;
    const std::uint16_t entries = view.u16(ifd);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t entry = ifd + 2 + static_cast<std::size_t>(i) * 12;
        if (!view.has(entry, 12)) return 0;
        if (view.u16(entry) != kOrientationTag) continue;
        // One SHORT, held in the first two bytes of the value field.
        if (view.u16(entry + 2) != kTypeShort || view.u32(entry + 4) != 1) return 0;
        return view.u16(entry + 8);
    }
    return 0;
}

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
    const std::size_t size = jpeg.size();
    if (size < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return Orientation::Normal;
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (jpeg[at] != 0xFF) return Orientation::Normal;
        const std::uint8_t marker = jpeg[at + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) break;  // the first scan, or the end
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a length
            at += 2;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (length < 2 || length > size - at - 2) break;
        if (marker == 0xE1) {
            const int value = orientationInExif(jpeg.data() + at + 4, length - 2);
            if (value != 0) return value >= 1 && value <= 8 ? static_cast<Orientation>(value) : Orientation::Normal;
        }
        at += 2 + length;
    }
    return Orientation::Normal;
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
