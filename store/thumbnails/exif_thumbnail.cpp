#include "store/thumbnails/exif_thumbnail.h"

#include "store/picture/exif_tiff.h"

namespace velmora {

namespace {

constexpr std::uint16_t kThumbnailOffsetTag = 0x0201;  // JPEGInterchangeFormat
constexpr std::uint16_t kThumbnailLengthTag = 0x0202;  // JPEGInterchangeFormatLength

}  // namespace

std::optional<ByteRun> exifThumbnail(const Bytes& jpeg) {
    std::optional<ByteRun> found;
    visitExifSegments(jpeg, [&](const TiffView& tiff) {
        const std::uint32_t ifd1 = nextIfd(tiff, tiff.u32(4));
        if (ifd1 == 0) return false;
        const std::uint32_t offset = tiffNumber(tiff, ifd1, kThumbnailOffsetTag);
        const std::uint32_t length = tiffNumber(tiff, ifd1, kThumbnailLengthTag);
        if (offset == 0 || length < 4 || !tiff.has(offset, length)) return false;
        const std::uint8_t* start = tiff.data() + offset;
        if (start[0] != 0xFF || start[1] != 0xD8) return false;
        found = ByteRun{start, length};
        return true;
    });
    return found;
}

}  // namespace velmora
