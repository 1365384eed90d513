#pragma once
// A JPEG Huffman table made ready for decoding: codes of up to kLookBits bits are
// found with one table look-up, longer ones by comparing against each length's
// largest code.

#include <array>
#include <cstdint>

#include "store/picture/jpeg_scan_layout.h"

namespace velmora {

class HuffmanLookup {
public:
    static constexpr int kLookBits = 10;

    // valid() is false for a table whose counts overflow a code length, or a DC table
    // with a symbol above 15.
    // An AC table's whole-coefficient entries hold values of at most maxWholeSize bits.
    HuffmanLookup(const HuffmanTable& table, bool dc, int maxWholeSize = 15);
    bool valid() const { return valid_; }

    // Entry for the next kLookBits bits: (length << 8) | symbol, or 0 when the code is longer.
    std::uint16_t fast(std::uint32_t lookBits) const { return fast_[lookBits]; }
    // For an AC table, what the next kLookBits bits hold, in one look-up: bits 0-5 the
    // bits to take; bits 8-15 the symbol; with kWhole set, the extra bits are taken
    // too and bits 16-31 hold the coefficient's value. 0: a longer code.
    static constexpr std::uint32_t kWhole = 64;
    std::uint32_t acEntry(std::uint32_t lookBits) const { return acEntry_[lookBits]; }
    // The symbol of a code longer than kLookBits at the top of `bits` (64 bits, MSB
    // first) and its length, or -1 when no code matches.
    int slow(std::uint64_t bits, int& length) const;

private:
    void fillAcEntries(int maxWholeSize);

    std::array<std::uint16_t, 1u << kLookBits> fast_{};
    std::array<std::uint32_t, 1u << kLookBits> acEntry_{};
    std::array<std::int32_t, 17> maxCode_{};
    std::array<std::int32_t, 17> valueOffset_{};
    std::array<std::uint8_t, 256> values_{};
    bool valid_ = true;
};

}  // namespace velmora
