#pragma once
// The entropy-coded data of a scan with the stuffed zero bytes and the restart
// markers taken out, and a reader of their bits, most significant first.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/bytes.h"

namespace velmora {

struct UnstuffedScan {
    struct Restart {
        std::size_t at;  // offset in `bytes` where the marker stood
        int code;        // 0xD0 ... 0xD7
    };
    std::vector<std::uint8_t> bytes;  // the data, then zero bytes (see kPadding)
    std::size_t size = 0;             // bytes of data
    std::vector<Restart> restarts;

    static constexpr std::size_t kPadding = 64;
};

// The data from `start` up to the first marker other than a restart marker (or the end).
UnstuffedScan unstuffScan(const Bytes& data, std::size_t start);

// Reads bits from an UnstuffedScan. position() counts bits from its start; a decoder
// that runs past the data reads zero bits, and overran() says so.
class EntropyBitReader {
public:
    EntropyBitReader(const UnstuffedScan& scan, std::size_t startByte)
        : base_(scan.bytes.data()), limit_(base_ + scan.size + UnstuffedScan::kPadding / 2),
          next_(base_ + startByte), end_(scan.size * 8) {}

    // At least 56 bits in the window.
    void refill() {
        std::uint64_t word;
        std::memcpy(&word, next_, 8);
        bits_ |= __builtin_bswap64(word) >> count_;
        next_ += (63 - count_) >> 3;
        count_ |= 56;
        if (next_ > limit_) next_ = limit_;  // past the end: zeros, and overran() holds
    }
    std::uint64_t bits() const { return bits_; }
    int count() const { return count_; }
    std::uint32_t peek(int n) const { return static_cast<std::uint32_t>(bits_ >> (64 - n)); }
    void skip(int n) {
        bits_ <<= n;
        count_ -= n;
    }
    std::uint32_t take(int n) {
        const std::uint32_t value = peek(n);
        skip(n);
        return value;
    }
    std::uint64_t position() const { return static_cast<std::uint64_t>(next_ - base_) * 8 - static_cast<std::uint64_t>(count_); }
    bool overran() const { return position() > end_; }
    // Drops the bits up to the next byte boundary, where a restart marker stood.
    std::size_t alignToByte() {
        skip(count_ % 8);
        return static_cast<std::size_t>(position() / 8);
    }

private:
    const std::uint8_t* base_;
    const std::uint8_t* limit_;
    const std::uint8_t* next_;
    std::uint64_t end_;
    std::uint64_t bits_ = 0;
    int count_ = 0;
};

}  // namespace velmora
