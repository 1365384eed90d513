#pragma once
// The largest DCT reduction 1/2^n (n <= 3) whose output still covers a size.

#include <cstdint>

namespace velmora {

inline unsigned coveringDenominator(std::uint32_t width, std::uint32_t height, int minWidth, int minHeight) {
    unsigned denominator = 1;
    while (denominator < 8) {
        const unsigned next = denominator * 2;
        const auto scaledWidth = static_cast<std::int64_t>((width + next - 1) / next);
        const auto scaledHeight = static_cast<std::int64_t>((height + next - 1) / next);
        if (scaledWidth < minWidth || scaledHeight < minHeight) break;
        denominator = next;
    }
    return denominator;
}

}  // namespace velmora
