#include "store/imagefile/graphic_signatures.h"

#include <cstdint>
#include <cstring>

#include "base/error.h"
#include "base/little_endian.h"

namespace velmora {

namespace {

constexpr std::size_t kIconDirSize = 6;
constexpr std::size_t kIconEntrySize = 16;
constexpr std::uint32_t kDibHeaderSize = 40;
constexpr std::uint8_t kPngSignature[4] = {0x89, 'P', 'N', 'G'};

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderSize = 22;
constexpr std::size_t kMetaHeaderSize = 18;
constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::size_t kEmfHeaderMinSize = 88;

bool iconImageLooksValid(const Bytes& bytes, std::uint32_t offset, std::uint32_t length) {
    if (length < 4 || std::uint64_t{offset} + length > bytes.size()) {
        return false;
    }
    const std::uint8_t* image = bytes.data() + offset;
    return le::u32(image) == kDibHeaderSize || std::memcmp(image, kPngSignature, 4) == 0;
}

bool isIcon(const Bytes& bytes) {
    if (bytes.size() < kIconDirSize) {
        return false;
    }
    const std::uint8_t* p = bytes.data();
    const std::size_t count = le::u16(p + 4);
    if (le::u16(p) != 0 || le::u16(p + 2) != 1 || count == 0) {
        return false;
    }
    const std::size_t directoryEnd = kIconDirSize + count * kIconEntrySize;
    if (directoryEnd > bytes.size()) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = p + kIconDirSize + i * kIconEntrySize;
        const std::uint32_t length = le::u32(entry + 8);
        const std::uint32_t offset = le::u32(entry + 12);
        if (offset < directoryEnd || !iconImageLooksValid(bytes, offset, length)) {
            return false;
        }
    }
    return true;
}

// The 18-byte header every Windows metafile starts with (after a placeable header).
bool isMetaHeader(const std::uint8_t* p) {
    const std::uint16_t type = le::u16(p);
    const std::uint16_t headerWords = le::u16(p + 2);
    const std::uint16_t version = le::u16(p + 4);
    return (type == 1 || type == 2) && headerWords == kMetaHeaderSize / 2 &&
           (version == 0x0100 || version == 0x0300);
}

bool isPlaceableMetafile(const Bytes& bytes) {
    if (bytes.size() < kPlaceableHeaderSize + kMetaHeaderSize || le::u32(bytes.data()) != kPlaceableKey) {
        return false;
    }
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2) {
        checksum ^= le::u16(bytes.data() + i);
    }
    return checksum == le::u16(bytes.data() + 20) && isMetaHeader(bytes.data() + kPlaceableHeaderSize);
}

bool isEnhancedMetafile(const Bytes& bytes) {
    if (bytes.size() < kEmfHeaderMinSize) {
        return false;
    }
    const std::uint32_t headerSize = le::u32(bytes.data() + 4);
    return le::u32(bytes.data()) == kEmrHeader && le::u32(bytes.data() + 40) == kEmfSignature &&
           headerSize >= kEmfHeaderMinSize && headerSize <= bytes.size();
}

bool isMetafile(const Bytes& bytes) {
    return isPlaceableMetafile(bytes) || isEnhancedMetafile(bytes) ||
           (bytes.size() >= kMetaHeaderSize && isMetaHeader(bytes.data()));
}

}  // namespace

IconImage readIcon(Bytes bytes) {
    if (!isIcon(bytes)) {
        throw Error("Icon image is not valid");
    }
    return IconImage{shareBytes(std::move(bytes))};
}

Metafile readMetafile(Bytes bytes) {
    if (!isMetafile(bytes)) {
        throw Error("Metafile is not valid");
    }
    return Metafile{shareBytes(std::move(bytes))};
}

}  // namespace velmora
