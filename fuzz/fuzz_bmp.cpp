// Feeds arbitrary bytes to the BMP reader: it must return a bitmap or raise the
// product's error, never crash, read out of bounds or hang.

#include <cstddef>
#include <cstdint>

#include "base/error.h"
#include "store/imagefile/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A smaller pixel limit than the product's keeps each run fast; the limit check
    // itself is the same code.
    constexpr std::uint64_t kFuzzMaxPixels = std::uint64_t{1} << 22;
    try {
        velmora::readBmp(velmora::Bytes(data, data + size), kFuzzMaxPixels);
    } catch (const velmora::Error&) {
    }
    return 0;
}
