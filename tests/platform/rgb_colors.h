#pragma once
// Plain colours as 0xRRGGBB, for pictures the fitting and root-window tests paint.

#include <cstdint>

namespace velmora::platform::test_colors {

inline constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0;

}  // namespace velmora::platform::test_colors
