#pragma once
// Display-size decoding of large single-scan baseline JPEGs (what cameras and most
// programs write) with this program's own entropy decoder on two threads, the
// reduced pixels taken straight from the coefficients. Everything else (small
// pictures, progressive or unusual streams, damaged data) stays with libjpeg.

#include "base/bytes.h"
#include "store/picture/bitmap.h"
#include "store/picture/jpeg_decoder.h"

namespace velmora {

struct ReducedDecodeOptions {
    bool twoThreads = true;  // false: the same decode on the calling thread alone
    // Smaller streams are left to libjpeg: a second thread would not pay for itself.
    std::size_t minimumBytes = 256 * 1024;
};

// Decodes `data` at the given reduction (2, 4 or 8) into `target`: 24-bit
// blue-green-red for colour, 8-bit with libjpeg's 236 grey levels for grey. False,
// with `target` untouched, when the stream is not one this decoder takes (see above).
bool decodeReducedBaseline(const Bytes& data, unsigned denominator, Bitmap& target,
                           const ReducedDecodeOptions& options = {});

// The same at the largest reduction whose output still covers `cover`; false also
// when no reduction does. With `shown` set, the bitmap made is that reduction drawn
// at exactly that size by nearest neighbour (as scaleNearest() draws it).
bool decodeReducedBaselineCovering(const Bytes& data, CoverSize cover, Bitmap& target, CoverSize shown = {});

}  // namespace velmora
