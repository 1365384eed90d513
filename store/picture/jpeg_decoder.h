#pragma once
// Reading JPEG streams with libjpeg: the headers alone, or the whole picture into a
// bitmap. Fatal codec errors raise JpegError with the libjpeg 6b message number.

#include <optional>

#include "base/bytes.h"
#include "store/picture/bitmap.h"
#include "store/picture/jpeg_settings.h"

namespace velmora {

struct JpegHeader {
    int width = 0;
    int height = 0;
    bool grayscale = false;
    bool progressive = false;  // more than one scan
};

// Parses the headers up to the first scan, decoding no pixels. Raises JpegError.
JpegHeader readJpegHeader(const Bytes& data);

// The same for the front of a longer stream: nullopt when the front ends before the
// headers do (read more and try again). Raises JpegError for a stream that is bad
// within the front.
std::optional<JpegHeader> readJpegHeaderFromFront(const Bytes& front);

// A size the decoded bitmap must cover ({0, 0}: no reduction wanted).
struct CoverSize {
    int width = 0;
    int height = 0;
};

// Decodes `data` into `target` with `settings`: 24-bit blue-green-red, or 8-bit with
// a palette of at most 236 colours for grayscale streams and 8-bit pixel format.
// CMYK and YCCK streams become 24-bit. A header promising more than
// kMaxBitmapPixels pixels fails before anything is allocated. On a fatal error
// raises JpegError and leaves `target` as far as it was filled (empty when the
// error came before the size was known). A decode cancelled (decode_cancel.h)
// raises DecodeCancelled.
void decodeJpeg(const Bytes& data, const JpegDefaults& settings, Bitmap& target);
// decodeJpeg at the largest DCT reduction (1/2, 1/4 or 1/8) whose output still
// covers `cover`: only the reduced bitmap is ever made, and grayscale streams are
// quantized at that size.
void decodeJpegCovering(const Bytes& data, const JpegDefaults& settings, CoverSize cover, Bitmap& target);
// decodeJpegCovering(size), drawn at exactly `size` by nearest neighbour. On a fatal
// error `target` is the covering bitmap as far as it was decoded.
void decodeJpegAtSize(const Bytes& data, const JpegDefaults& settings, CoverSize size, Bitmap& target);

}  // namespace velmora
