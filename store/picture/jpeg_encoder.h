#pragma once
// Writing bitmaps as baseline JFIF streams with libjpeg.

#include "base/bytes.h"
#include "store/picture/bitmap.h"
#include "store/picture/jpeg_settings.h"

namespace velmora {

// Encodes a non-empty bitmap: YCbCr 4:2:0, the standard tables scaled to
// `settings.quality`, standard Huffman tables, floating-point DCT, a JFIF 1.01
// marker with density 1x1 and unit 0. Raises JpegError.
Bytes encodeJpeg(const Bitmap& bitmap, const JpegDefaults& settings);

}  // namespace velmora
