#pragma once
// Reads BMP files: core and info headers of any length, 1/4/8/16/24/32 bits per pixel,
// colour masks, top-down and bottom-up rows, RLE4 and RLE8.

#include <cstdint>
#include <string>

#include "base/bytes.h"
#include "store/picture/bitmap.h"
#include "store/picture/picture_limits.h"

namespace velmora {

// Decodes the bytes of a .bmp file to a 24-bit bitmap (palette pixels are looked up,
// so missing pixels are black whatever the palette). A 0-byte file gives an empty
// bitmap. Pixel data missing at the file's end leave their rows black.
// Raises "Stream read error" when the file ends inside its file header, info header,
// colour masks or colour table, and "Bitmap image is not valid" when it does not start
// with "BM", has planes other than 1, an unknown depth or compression, no pixels, more
// than maxPixels pixels, or a bitmap over 256 MiB that its pixel data cannot fill
// (all checked before anything is allocated).
Bitmap readBmp(const Bytes& file, std::uint64_t maxPixels = kMaxBitmapPixels);

// The same for a file on disk, whose pixel rows are read straight into the bitmap
// instead of through a copy of the whole file. Raises "Cannot open file ..." as well.
Bitmap readBmpFile(const std::string& path, std::uint64_t maxPixels = kMaxBitmapPixels);

}  // namespace velmora
