// Feeds arbitrary bytes to the reader of clipboard DIBs (CF_DIB, CF_DIBV5), which other
// programs put there: it must return a bitmap or raise the product's error, never
// crash, read past the bytes it was given or hang.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/error.h"
#include "win32_window/dib_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact copy, so that AddressSanitizer sees any read past its end.
    const std::vector<std::uint8_t> dib(data, data + size);
    try {
        velmora::win32::bitmapFromDib(dib.data(), dib.size());
    } catch (const velmora::Error&) {
    }
    return 0;
}
