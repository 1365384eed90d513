#pragma once
// Device-independent bitmaps as the Windows clipboard holds them (CF_DIB, CF_DIBV5):
// a BMP file without its 14-byte file header. Pure functions, so that what comes from
// other programs can be checked without a clipboard.
#include <cstddef>
#include <cstdint>

#include "base/bytes.h"
#include "store/picture/bitmap.h"

namespace velmora::win32 {

// The bitmap as a bottom-up DIB: a 40-byte BITMAPINFOHEADER (or a 124-byte
// BITMAPV5HEADER in sRGB), the palette of an 8-bit bitmap, then the rows.
Bytes dibOf(const Bitmap& bitmap, bool v5Header);

// A 24-bit bitmap from a DIB of 1, 4, 8, 16, 24 or 32 bits per pixel, uncompressed or
// with colour masks, rows either way up. Header, masks, colour table and every row
// must lie within the size bytes given; anything else (also an absurd size) raises
// "Unsupported clipboard format" and is never read past its end.
Bitmap bitmapFromDib(const std::uint8_t* data, std::size_t size);

}  // namespace velmora::win32
