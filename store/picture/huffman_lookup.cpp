#include "store/picture/huffman_lookup.h"

namespace velmora {

HuffmanLookup::HuffmanLookup(const HuffmanTable& table, bool dc, int maxWholeSize) : values_(table.values) {
    std::int32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length) {
        const int count = table.bits[static_cast<std::size_t>(length)];
        valueOffset_[static_cast<std::size_t>(length)] = index - code;
        for (int i = 0; i < count; ++i, ++code, ++index) {
            // A length's codes must fit in its bits, leaving the all-ones code unused.
            if (index >= 256 || code + 1 >= (1 << length) || (dc && values_[static_cast<std::size_t>(index)] > 15)) {
                valid_ = false;
                return;
            }
            if (length <= kLookBits) {
                // Every look-up value that starts with this code decodes to it.
                const int spare = kLookBits - length;
                const auto entry = static_cast<std::uint16_t>((length << 8) | values_[static_cast<std::size_t>(index)]);
                for (int fill = 0; fill < (1 << spare); ++fill) {
                    fast_[static_cast<std::size_t>((code << spare) | fill)] = entry;
                }
            }
        }
        maxCode_[static_cast<std::size_t>(length)] = count > 0 ? code - 1 : -1;
        code <<= 1;
    }
    if (!dc) fillAcEntries(maxWholeSize);
}

void HuffmanLookup::fillAcEntries(int maxWholeSize) {
    for (std::uint32_t look = 0; look < fast_.size(); ++look) {
        const std::uint32_t length = fast_[look] >> 8;
        const std::uint32_t symbol = fast_[look] & 0xFF;
        const int size = static_cast<int>(symbol & 15);
        if (length == 0) continue;
        acEntry_[look] = (symbol << 8) | length;
        if (size == 0 || size > maxWholeSize || static_cast<int>(length) + size > kLookBits) continue;
        // The extra bits follow the code within the look-up bits.
        const int bits = static_cast<int>((look >> (kLookBits - static_cast<int>(length) - size)) & ((1u << size) - 1));
        const int value = bits < (1 << (size - 1)) ? bits - (1 << size) + 1 : bits;
        acEntry_[look] = (static_cast<std::uint32_t>(value) << 16) | (symbol << 8) | kWhole |
                         (length + static_cast<std::uint32_t>(size));
    }
}

int HuffmanLookup::slow(std::uint64_t bits, int& length) const {
    for (length = kLookBits + 1; length <= 16; ++length) {
        const auto code = static_cast<std::int32_t>(bits >> (64 - length));
        if (code <= maxCode_[static_cast<std::size_t>(length)]) {
            return values_[static_cast<std::size_t>(code + valueOffset_[static_cast<std::size_t>(length)])];
        }
    }
    return -1;
}

}  // namespace velmora
