#include "store/picture/exif_tiff.h"

#include <cstring>

namespace velmora {

namespace {

constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;

// The TIFF structure of an Exif APP1 payload ("Exif\0\0" + TIFF header), if it is one.
bool tiffOf(const std::uint8_t* payload, std::size_t size, const std::function<bool(const TiffView&)>& visit) {
    static constexpr std::uint8_t kExifId[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (size < 6 + 8 || std::memcmp(payload, kExifId, 6) != 0) return false;
    const std::uint8_t* tiff = payload + 6;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    const bool big = tiff[0] == 'M' && tiff[1] == 'M';
    if (!little && !big) return false;
    const TiffView view(tiff, size - 6, big);
    if (view.u16(2) != 42) return false;
    return visit(view);
}

}  // namespace

void visitExifSegments(const Bytes& jpeg, const std::function<bool(const TiffView& tiff)>& visit) {
    const std::size_t size = jpeg.size();
    if (size < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return;
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (jpeg[at] != 0xFF) return;
        const std::uint8_t marker = jpeg[at + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return;  // the first scan, or the end
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a length
            at += 2;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (length < 2 || length > size - at - 2) return;
        if (marker == 0xE1 && tiffOf(jpeg.data() + at + 4, length - 2, visit)) return;
        at += 2 + length;
    }
}

std::uint32_t tiffNumber(const TiffView& tiff, std::uint32_t ifd, std::uint16_t tag, bool shortOnly) {
    if (!tiff.has(ifd, 2)) return 0;
    const std::uint16_t entries = tiff.u16(ifd);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t entry = ifd + 2 + static_cast<std::size_t>(i) * 12;
        if (!tiff.has(entry, 12)) return 0;
        if (tiff.u16(entry) != tag) continue;
        if (tiff.u32(entry + 4) != 1) return 0;
        switch (tiff.u16(entry + 2)) {
        case kTypeShort: return tiff.u16(entry + 8);  // held in the value field's first two bytes
        case kTypeLong: return shortOnly ? 0 : tiff.u32(entry + 8);
        default: return 0;
        }
    }
    return 0;
}

std::uint32_t nextIfd(const TiffView& tiff, std::uint32_t ifd) {
    if (!tiff.has(ifd, 2)) return 0;
    const std::size_t link = ifd + 2 + static_cast<std::size_t>(tiff.u16(ifd)) * 12;
    return tiff.has(link, 4) ? tiff.u32(link) : 0;
}

}  // namespace velmora
