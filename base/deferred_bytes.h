#pragma once
// A stored value read in two steps: its front now, the whole only when it is needed.
// The picture object parses a stream's headers from the front and fetches the rest
// only when it is drawn, saved, copied or made the wallpaper.

#include <cstddef>
#include <functional>

#include "base/bytes.h"

namespace velmora {

struct DeferredBytes {
    std::size_t size = 0;
    // The first `count` bytes (count <= size). Raises velmora::Error when unreadable.
    std::function<Bytes(std::size_t count)> readFront;
    // Every byte. Raises velmora::Error when the value can no longer be read.
    std::function<SharedBytes()> readWhole;
};

}  // namespace velmora
