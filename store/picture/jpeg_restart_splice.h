#pragma once
// Joining two baseline streams that libjpeg wrote for the top and the bottom part of
// one picture, with the same settings and a restart interval that ends where the parts
// meet, into the one stream a single compression of the whole picture gives.

#include <cstddef>

#include "base/bytes.h"

namespace velmora {

// Appends the bottom part's entropy-coded data to `top`: sets the frame header's height
// to `height`, puts the restart marker that follows the top part's `topIntervals`-th
// interval in place of its end-of-image marker, and renumbers the bottom part's restart
// markers to continue the count. Both must be complete libjpeg output (SOI ... EOI) with
// one frame and one scan. Returns false, leaving `top` as it was, when either is not.
bool spliceAtRestart(Bytes& top, const Bytes& bottom, int height, std::size_t topIntervals);

}  // namespace velmora
