#pragma once
// Sizes in the BMP format that the reader and the writer share.
#include <cstdint>

namespace velmora {

inline constexpr std::uint32_t kBmpFileHeaderSize = 14;  // "BM", file size, reserved, pixel offset
inline constexpr std::uint32_t kBmpInfoHeaderSize = 40;  // BITMAPINFOHEADER

}  // namespace velmora
