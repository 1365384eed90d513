#pragma once
// The largest bitmap the store will make: 2^28 pixels (768 MiB at 24 bits). A picture
// header promising more is refused before anything is allocated.

#include <cstdint>

namespace velmora {

inline constexpr std::uint64_t kMaxBitmapPixels = std::uint64_t{1} << 28;

}  // namespace velmora
