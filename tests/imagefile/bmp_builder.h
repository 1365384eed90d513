#pragma once
// Builds BMP files for the reader's tests from a few fields and rows of pixel values.

#include <cstdint>
#include <vector>

#include "base/bytes.h"
#include "store/picture/bitmap.h"

namespace velmora::test {

struct BmpLayout {
    std::uint32_t headerLength = 40;  // 12: core header
    std::int32_t width = 1;
    std::int32_t height = 1;  // negative: top-down
    std::uint16_t planes = 1;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::uint32_t coloursUsed = 0;
    std::vector<std::uint32_t> masks;    // inside a header of 52+ bytes, else after it
    std::vector<std::uint32_t> colours;  // 0xRRGGBB; 3-byte entries after a core header
    std::uint32_t gapBeforePixels = 0;   // zero bytes the pixel offset skips
    Bytes pixels;
};

Bytes buildBmp(const BmpLayout& layout);

// Rows given top row first, as 0xRRGGBB (24 bits), raw values (16, 32 bits) or
// indices (1, 4, 8 bits), packed and padded to 4 bytes, bottom row first unless topDown.
Bytes packRows(const std::vector<std::vector<std::uint32_t>>& rows, unsigned bitsPerPixel, bool topDown = false);

// A pixel of a 24-bit bitmap as 0xRRGGBB.
std::uint32_t rgbAt(const Bitmap& bitmap, int x, int y);

// Every pixel, top row first, as 0xRRGGBB.
std::vector<std::vector<std::uint32_t>> rgbRows(const Bitmap& bitmap);

}  // namespace velmora::test
