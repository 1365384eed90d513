#include "store/picture/jpeg_restart_splice.h"

#include <cstring>
#include <optional>

namespace velmora {
namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kFirstRestart = 0xD0;  // RST0; RST7 is 0xD7
constexpr std::uint8_t kEndOfImage = 0xD9;

// Where the parts of a stream lie that the splice changes or moves.
struct StreamLayout {
    std::size_t heightField = 0;   // the frame header's 16-bit number of lines
    std::size_t entropyStart = 0;  // the first byte after the scan header
    std::size_t entropyEnd = 0;    // the end-of-image marker
};

// Walks the marker segments from SOI to SOS, as libjpeg writes them (no fill bytes).
std::optional<StreamLayout> layoutOf(const Bytes& jpeg) {
    const std::size_t size = jpeg.size();
    if (size < 4 || jpeg[0] != kMarker || jpeg[1] != 0xD8 || jpeg[size - 2] != kMarker ||
        jpeg[size - 1] != kEndOfImage) {
        return std::nullopt;
    }
    std::optional<std::size_t> heightField;
    std::size_t at = 2;
    while (at + 4 <= size - 2 && jpeg[at] == kMarker) {
        const std::uint8_t marker = jpeg[at + 1];
        const std::size_t length = static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (length < 2 || at + 2 + length > size - 2) {
            return std::nullopt;
        }
        if (marker == 0xC0 && length >= 8) {
            if (heightField) return std::nullopt;  // a second frame
            heightField = at + 5;
        } else if (marker == 0xDA) {
            if (!heightField) return std::nullopt;
            return StreamLayout{*heightField, at + 2 + length, size - 2};
        } else if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            return std::nullopt;  // not a baseline frame
        }
        at += 2 + length;
    }
    return std::nullopt;
}

// Copies entropy-coded data, moving each restart marker's number on by `shift` (mod 8).
// Inside such data FF is followed by a stuffed 00 or by a marker, never split from it.
void appendRenumbered(Bytes& out, const std::uint8_t* data, std::size_t size, std::size_t shift) {
    std::size_t at = 0;
    while (at < size) {
        const void* found = std::memchr(data + at, kMarker, size - at);
        const std::size_t next = found ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - data) : size;
        const std::size_t through = next < size ? std::min(next + 2, size) : size;
        out.insert(out.end(), data + at, data + through);
        if (next + 1 < size && (data[next + 1] & 0xF8) == kFirstRestart) {
            out.back() = static_cast<std::uint8_t>(kFirstRestart + ((data[next + 1] - kFirstRestart + shift) & 7));
        }
        at = through;
    }
}

}  // namespace

bool spliceAtRestart(Bytes& top, const Bytes& bottom, int height, std::size_t topIntervals) {
    const std::optional<StreamLayout> upper = layoutOf(top);
    const std::optional<StreamLayout> lower = layoutOf(bottom);
    if (!upper || !lower || topIntervals == 0 || height <= 0 || height > 0xFFFF) {
        return false;
    }
    const std::size_t entropySize = lower->entropyEnd - lower->entropyStart;
    // One allocation at most, to the exact size, instead of doubling while appending.
    top.reserve(upper->entropyEnd + 2 + entropySize + 2);
    top[upper->heightField] = static_cast<std::uint8_t>(height >> 8);
    top[upper->heightField + 1] = static_cast<std::uint8_t>(height & 0xFF);
    top.resize(upper->entropyEnd);
    top.push_back(kMarker);
    top.push_back(static_cast<std::uint8_t>(kFirstRestart + ((topIntervals - 1) & 7)));
    appendRenumbered(top, bottom.data() + lower->entropyStart, entropySize, topIntervals);
    top.push_back(kMarker);
    top.push_back(kEndOfImage);
    return true;
}

}  // namespace velmora
