#pragma once
// The TIFF structure inside a JPEG stream's Exif APP1 segments, read with every offset
// and length checked against the segment: malformed data is passed over, never raised.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "base/bytes.h"

namespace velmora {

// Reads 16- and 32-bit values of a TIFF structure in its own byte order.
class TiffView {
public:
    TiffView(const std::uint8_t* data, std::size_t size, bool bigEndian)
        : data_(data), size_(size), bigEndian_(bigEndian) {}

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool has(std::size_t offset, std::size_t count) const { return offset <= size_ && count <= size_ - offset; }

    std::uint16_t u16(std::size_t offset) const {
        const std::uint16_t a = data_[offset];
        const std::uint16_t b = data_[offset + 1];
        return static_cast<std::uint16_t>(bigEndian_ ? (a << 8 | b) : (b << 8 | a));
    }
    std::uint32_t u32(std::size_t offset) const {
        const std::uint32_t high = u16(offset);
        const std::uint32_t low = u16(offset + 2);
        return bigEndian_ ? (high << 16 | low) : (low << 16 | high);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    bool bigEndian_;
};

// Calls visit with the TIFF structure of each Exif APP1 segment before the first scan,
// in order, until it returns true.
void visitExifSegments(const Bytes& jpeg, const std::function<bool(const TiffView& tiff)>& visit);

// The value of a tag with one SHORT (or, unless shortOnly, LONG) value in the IFD at
// `ifd`; 0 when absent or of another type or count.
std::uint32_t tiffNumber(const TiffView& tiff, std::uint32_t ifd, std::uint16_t tag, bool shortOnly = false);

// The offset of the IFD that follows the one at `ifd`; 0 when there is none.
std::uint32_t nextIfd(const TiffView& tiff, std::uint32_t ifd);

}  // namespace velmora
