#include "store/picture/entropy_bit_reader.h"

#include <algorithm>

namespace velmora {

ScanChunks::Span ScanChunks::more(const std::uint8_t* next) {
    std::uint8_t* buffer = buffer_.data();
    if (ended_) {
        // Zeros from here on; holding the reader within them keeps it past the end.
        const std::uint8_t* limit = buffer + fill_ + kSlack / 2;
        return {std::min(next, limit), buffer + fill_ + kSlack};
    }
    const auto consumed = static_cast<std::size_t>(next - buffer);
    const std::size_t kept = fill_ - consumed;
    std::memmove(buffer, buffer + consumed, kept);
    chunkStart_ += consumed;
    fill_ = kept;
    unstuffMore();
    return {buffer, buffer + fill_ + (ended_ ? kSlack : 0)};
}

void ScanChunks::unstuffMore() {
    std::uint8_t* buffer = buffer_.data();
    const std::uint8_t* in = data_.data() + raw_;
    const std::uint8_t* const end = data_.data() + data_.size();
    while (fill_ < kChunk) {
        const auto room = std::min<std::size_t>(kChunk - fill_, static_cast<std::size_t>(end - in));
        const auto* mark = static_cast<const std::uint8_t*>(std::memchr(in, 0xFF, room));
        const std::uint8_t* runEnd = mark != nullptr ? mark : in + room;
        std::memcpy(buffer + fill_, in, static_cast<std::size_t>(runEnd - in));
        fill_ += static_cast<std::size_t>(runEnd - in);
        in = runEnd;
        if (mark == nullptr && in < end) continue;  // the chunk is full, or loops to fill it
        if (in + 1 >= end) {
            ended_ = true;
            break;
        }
        const std::uint8_t code = in[1];
        if (code == 0x00) {
            buffer[fill_++] = 0xFF;
            in += 2;
        } else if ((code & 0xF8) == 0xD0) {
            restarts_.push_back({chunkStart_ + fill_, code});
            in += 2;
        } else if (code == 0xFF) {
            in += 1;  // a fill byte before a marker
        } else {
            ended_ = true;
            break;
        }
    }
    raw_ = static_cast<std::size_t>(in - data_.data());
    if (ended_) {
        end_ = chunkStart_ + fill_;
        std::memset(buffer + fill_, 0, kSlack);
    }
}

bool EntropyBitReader::passRestart(std::size_t index, std::size_t firstIndex) {
    skip(count_ % 8);
    const std::uint64_t at = position() / 8;
    const std::vector<ScanChunks::Restart>& restarts = chunks_->restarts();
    if (index < firstIndex || index - firstIndex >= restarts.size()) return false;
    const ScanChunks::Restart& marker = restarts[index - firstIndex];
    return marker.at == at && marker.code == 0xD0 + static_cast<int>(index % 8);
}

}  // namespace velmora
