#include "win32_window/dib_format.h"

#include <bit>

#include "base/error.h"
#include "base/little_endian.h"
#include "store/imagefile/bmp_reader.h"
#include "store/imagefile/bmp_writer.h"
#include "store/picture/picture_limits.h"

namespace velmora::win32 {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kHeaderWithMasksSize = 52;
constexpr std::uint32_t kV5HeaderSize = 124;
constexpr std::uint32_t kRgb = 0, kBitfields = 3;
constexpr std::uint32_t kSrgbColourSpace = 0x73524742;  // 'sRGB'
constexpr std::uint32_t kImageIntent = 4;                // LCS_GM_IMAGES

[[noreturn]] void unsupported() { throw Error("Unsupported clipboard format"); }

// A mask of one run of bits inside the pixel, overlapping no other channel's.
bool masksValid(const std::uint32_t (&masks)[3], unsigned bitsPerPixel) {
    const std::uint64_t pixelBits = (std::uint64_t{1} << bitsPerPixel) - 1;
    std::uint32_t seen = 0;
    for (std::uint32_t mask : masks) {
        if (mask == 0 || mask > pixelBits || (seen & mask) != 0) return false;
        const std::uint32_t run = mask >> std::countr_zero(mask);
        if ((run & (run + 1)) != 0) return false;
        seen |= mask;
    }
    return true;
}

// Where the rows begin, after checking that header, masks, table and rows all fit.
std::uint64_t checkedPixelOffset(const std::uint8_t* data, std::size_t size) {
    if (size < 4) unsupported();
    const std::uint32_t headerSize = le::u32(data);
    if ((headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize) || headerSize > size) unsupported();
    std::int64_t width = 0, height = 0;
    unsigned planes = 0, bitsPerPixel = 0;
    std::uint32_t compression = kRgb, coloursUsed = 0;
    if (headerSize == kCoreHeaderSize) {
        width = le::u16(data + 4);
        height = le::u16(data + 6);
        planes = le::u16(data + 8);
        bitsPerPixel = le::u16(data + 10);
    } else {
        width = le::i32(data + 4);
        height = le::i32(data + 8);
        planes = le::u16(data + 12);
        bitsPerPixel = le::u16(data + 14);
        compression = le::u32(data + 16);
        coloursUsed = le::u32(data + 32);
    }
    if (height < 0) height = -height;  // top-down rows; from a 32-bit field, so no overflow
    const bool knownDepth = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 ||
                            bitsPerPixel == 24 || bitsPerPixel == 32;
    const bool masked = compression == kBitfields;
    if (planes != 1 || !knownDepth || (compression != kRgb && !masked) ||
        (masked && bitsPerPixel != 16 && bitsPerPixel != 32)) {
        unsupported();
    }
    if (width <= 0 || height == 0 ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxBitmapPixels) {
        unsupported();
    }
    std::uint64_t offset = headerSize;
    if (masked) {
        if (headerSize < kHeaderWithMasksSize) offset += 12;
        if (offset > size) unsupported();
        const std::uint8_t* at = data + (headerSize < kHeaderWithMasksSize ? headerSize : kInfoHeaderSize);
        const std::uint32_t masks[3] = {le::u32(at), le::u32(at + 4), le::u32(at + 8)};
        if (!masksValid(masks, bitsPerPixel)) unsupported();
    }
    std::uint64_t entries = coloursUsed;
    if (entries == 0 && bitsPerPixel <= 8) entries = std::uint64_t{1} << bitsPerPixel;
    offset += entries * (headerSize == kCoreHeaderSize ? 3 : 4);
    const std::uint64_t rowSize = (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    if (offset > size || rowSize * static_cast<std::uint64_t>(height) > size - offset) unsupported();
    return offset;
}

}  // namespace

Bytes dibOf(const Bitmap& bitmap, bool v5Header) {
    const Bytes file = encodeBmp(bitmap);
    const std::size_t info = kFileHeaderSize;
    if (!v5Header) return Bytes(file.begin() + info, file.end());
    Bytes dib;
    dib.reserve(file.size() - info - kInfoHeaderSize + kV5HeaderSize);
    le::put32(dib, kV5HeaderSize);
    // Width, height, planes, depth, compression, image size, resolution and colours
    // are those of the info header.
    dib.insert(dib.end(), file.begin() + info + 4, file.begin() + info + kInfoHeaderSize);
    dib.resize(dib.size() + 16, 0);  // colour masks: none for uncompressed rows
    le::put32(dib, kSrgbColourSpace);
    dib.resize(dib.size() + 36 + 12, 0);  // end points and gamma, unused for sRGB
    le::put32(dib, kImageIntent);
    dib.resize(dib.size() + 12, 0);  // no profile; reserved
    dib.insert(dib.end(), file.begin() + info + kInfoHeaderSize, file.end());
    return dib;
}

Bitmap bitmapFromDib(const std::uint8_t* data, std::size_t size) {
    const std::uint64_t pixelOffset = checkedPixelOffset(data, size);
    // The BMP reader does the rest, given the file header a DIB lacks.
    Bytes file;
    file.reserve(kFileHeaderSize + size);
    putBmpFileHeader(file, static_cast<std::uint32_t>(kFileHeaderSize + size),
                     static_cast<std::uint32_t>(kFileHeaderSize + pixelOffset));
    file.insert(file.end(), data, data + size);
    try {
        return readBmp(file);
    } catch (const Error&) {
        unsupported();
    }
}

}  // namespace velmora::win32
