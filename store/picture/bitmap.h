#pragma once
// A device-independent bitmap: 24 bits per pixel (bytes blue, green, red) or 8 bits
// per pixel with a palette of at most 256 colours. Rows are stored top row first and
// padded to a multiple of 4 bytes, so Qt can draw them in place (QImage::Format_BGR888
// or Format_Indexed8 over scanLine(0) with bytesPerLine()).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "store/picture/pixel_allocator.h"

namespace velmora {

struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const PaletteEntry&) const = default;
};

class Bitmap {
public:
    enum class Format { Bgr24, Indexed8 };

    // Black, or with unset pixels for a reader that writes every row itself.
    enum class Fill { Black, Unset };

    Bitmap() = default;
    // A black bitmap of the given size. Raises velmora::Error when the size is
    // negative or too large to allocate sensibly.
    Bitmap(int width, int height, Format format, Fill fill = Fill::Black);

    int width() const { return width_; }
    int height() const { return height_; }
    Format format() const { return format_; }
    int bitsPerPixel() const { return format_ == Format::Bgr24 ? 24 : 8; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    // Bytes per row in memory: width * bytes per pixel rounded up to 4.
    std::size_t bytesPerLine() const { return stride_; }
    std::uint8_t* scanLine(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
    const std::uint8_t* scanLine(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * stride_;
    }
    const std::uint8_t* bits() const { return pixels_.data(); }

    const std::vector<PaletteEntry>& palette() const { return palette_; }
    void setPalette(std::vector<PaletteEntry> palette) { palette_ = std::move(palette); }

    // The same picture as 24-bit blue-green-red (8-bit pixels through the palette).
    Bitmap toBgr24() const;

    bool operator==(const Bitmap&) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    Format format_ = Format::Bgr24;
    std::size_t stride_ = 0;
    std::vector<std::uint8_t, PixelAllocator<std::uint8_t>> pixels_;
    std::vector<PaletteEntry> palette_;
};

}  // namespace velmora
