#pragma once
// Writing bitmaps as baseline JFIF streams with libjpeg.

#include <cstddef>

#include "base/bytes.h"
#include "store/picture/bitmap.h"
#include "store/picture/jpeg_settings.h"

namespace velmora {

// Encodes a non-empty bitmap: YCbCr 4:2:0, the standard tables scaled to
// `settings.quality`, standard Huffman tables, floating-point DCT, a JFIF 1.01
// marker with density 1x1 and unit 0. Bitmaps of a megapixel or more (baseline
// only) are encoded as two halves on two threads, joined at a restart marker: the
// stream then carries a restart interval and is exactly what one compression with
// that interval gives, with the same pixels. Raises JpegError.
Bytes encodeJpeg(const Bitmap& bitmap, const JpegDefaults& settings);

// The two-halves encoding of encodeJpeg for any 24-bit bitmap, with restart intervals
// of at most `maxRestartInterval` MCUs (the JPEG limit is 65535); a bitmap too short
// for two intervals is encoded whole. Raises JpegError.
Bytes encodeJpegInHalves(const Bitmap& bitmap, const JpegDefaults& settings,
                         std::size_t maxRestartInterval = 65535);

}  // namespace velmora
