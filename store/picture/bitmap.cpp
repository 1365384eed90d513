#include "store/picture/bitmap.h"

#include <cstdint>

#include "base/error.h"
#include "store/picture/picture_limits.h"

namespace velmora {

Bitmap::Bitmap(int width, int height, Format format, Fill fill) {
    if (width < 0 || height < 0 ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxBitmapPixels) {
        throw Error("Bitmap image is not valid");
    }
    width_ = width;
    height_ = height;
    format_ = format;
    const std::size_t bytesPerPixel = format == Format::Bgr24 ? 3 : 1;
    stride_ = (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~static_cast<std::size_t>(3);
    const std::size_t size = stride_ * static_cast<std::size_t>(height);
    if (fill == Fill::Black) {
        pixels_.assign(size, 0);
    } else {
        pixels_.resize(size);
    }
}

Bitmap Bitmap::toBgr24() const {
    if (format_ == Format::Bgr24) {
        return *this;
    }
    Bitmap result(width_, height_, Format::Bgr24);
    // Pixel values beyond the palette read as black, as the platform draws them.
    PaletteEntry lookup[256] = {};
    for (std::size_t i = 0; i < palette_.size() && i < 256; ++i) {
        lookup[i] = palette_[i];
    }
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* in = scanLine(y);
        std::uint8_t* out = result.scanLine(y);
        for (int x = 0; x < width_; ++x) {
            const PaletteEntry& colour = lookup[in[x]];
            out[3 * x] = colour.blue;
            out[3 * x + 1] = colour.green;
            out[3 * x + 2] = colour.red;
        }
    }
    return result;
}

}  // namespace velmora
