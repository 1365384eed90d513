#pragma once
// Reading the bits of a scan's entropy-coded data, most significant first. The stuffed
// zero bytes and the restart markers are taken out a chunk at a time, as the reader
// needs more, into a buffer that stays in the cache.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/bytes.h"

namespace velmora {

class ScanChunks {
public:
    struct Restart {
        std::uint64_t at;  // offset in the unstuffed data where the marker stood
        int code;          // 0xD0 ... 0xD7
    };
    struct Span {
        const std::uint8_t* next;
        const std::uint8_t* end;  // at least 8 bytes past next
    };

    // The data from `start` in `data` (which must outlive this), counted in the
    // unstuffed data from `startOffset` on.
    ScanChunks(const Bytes& data, std::size_t start, std::uint64_t startOffset = 0)
        : data_(data), raw_(start), chunkStart_(startOffset) {}
    ScanChunks(const ScanChunks&) = delete;
    ScanChunks& operator=(const ScanChunks&) = delete;

    // Keeps the bytes from `next` (in the buffer) on, adds more after them, and says
    // where they now are. Past the end of the data come zero bytes.
    Span more(const std::uint8_t* next);
    Span first() { return more(buffer_.data()); }

    std::uint64_t offsetOf(const std::uint8_t* at) const {
        return chunkStart_ + static_cast<std::uint64_t>(at - buffer_.data());
    }
    bool ended() const { return ended_; }
    std::uint64_t endOffset() const { return end_; }  // once ended()
    // The markers met so far: a reader asks for the bytes after one (its window runs
    // ahead) before it arrives there.
    const std::vector<Restart>& restarts() const { return restarts_; }

private:
    static constexpr std::size_t kChunk = 16 * 1024;
    static constexpr std::size_t kSlack = 64;

    void unstuffMore();

    const Bytes& data_;
    std::size_t raw_;
    std::uint64_t chunkStart_;
    std::array<std::uint8_t, kChunk + kSlack + 8> buffer_{};
    std::size_t fill_ = 0;
    bool ended_ = false;
    std::uint64_t end_ = 0;
    std::vector<Restart> restarts_;
};

// The bit window over ScanChunks: small, so a block decoder copies it into registers.
class EntropyBitReader {
public:
    explicit EntropyBitReader(ScanChunks& chunks) : chunks_(&chunks) {
        const ScanChunks::Span span = chunks.first();
        next_ = span.next;
        end_ = span.end;
    }

    // At least 56 bits in the window.
    void refill() {
        if (end_ - next_ < 8) {
            // Through the chunks alone: the reader's own address never leaves the
            // decoder, so a copy of it can live in registers.
            const ScanChunks::Span span = chunks_->more(next_);
            next_ = span.next;
            end_ = span.end;
        }
        std::uint64_t word;
        std::memcpy(&word, next_, 8);
        bits_ |= __builtin_bswap64(word) >> count_;
        next_ += (63 - count_) >> 3;
        count_ |= 56;
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

    // Bits taken from the unstuffed data, counted from its start.
    std::uint64_t position() const { return chunks_->offsetOf(next_) * 8 - static_cast<std::uint64_t>(count_); }
    bool overran() const { return chunks_->ended() && position() > chunks_->endOffset() * 8; }
    // Drops the bits up to the byte boundary where restart marker `index` (counted
    // from `firstIndex`, the first this reader meets) must have stood; false when it
    // did not stand there.
    bool passRestart(std::size_t index, std::size_t firstIndex);
    // True when the bits taken so far run past a restart marker other than the first
    // `passed` this reader met (those passRestart() accepted). libjpeg stops at such
    // a marker, so a decoder that read across it no longer decodes what libjpeg does.
    bool crossedMarker(std::size_t passed) const {
        const std::vector<ScanChunks::Restart>& restarts = chunks_->restarts();
        return restarts.size() > passed && restarts[passed].at * 8 < position();
    }

private:
    ScanChunks* chunks_;
    const std::uint8_t* next_ = nullptr;
    const std::uint8_t* end_ = nullptr;
    std::uint64_t bits_ = 0;
    int count_ = 0;
};

}  // namespace velmora
