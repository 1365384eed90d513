#include "store/imagefile/bmp_writer.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/error.h"
#include "store/imagefile/file_access.h"
#include "base/little_endian.h"

namespace velmora {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::size_t kMaxPaletteEntries = 256;

}  // namespace

void putBmpFileHeader(Bytes& out, std::uint32_t fileSize, std::uint32_t pixelOffset) {
    out.push_back('B');
    out.push_back('M');
    le::put32(out, fileSize);
    le::put32(out, 0);  // reserved
    le::put32(out, pixelOffset);
}

Bytes encodeBmp(const Bitmap& bitmap) {
    const bool indexed = bitmap.format() == Bitmap::Format::Indexed8;
    const std::size_t bytesPerPixel = indexed ? 1 : 3;
    const std::size_t pixelBytes = static_cast<std::size_t>(bitmap.width()) * bytesPerPixel;
    const std::size_t rowBytes = (pixelBytes + 3) & ~std::size_t{3};
    const std::size_t imageSize = rowBytes * static_cast<std::size_t>(bitmap.height());
    // Without a palette, "colours used" 0 would promise 256 entries: write them.
    const std::size_t tableEntries =
        indexed ? (bitmap.palette().empty() ? kMaxPaletteEntries
                                            : std::min(bitmap.palette().size(), kMaxPaletteEntries))
                : 0;
    const std::size_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + 4 * tableEntries;
    if (imageSize > std::numeric_limits<std::uint32_t>::max() - pixelOffset) {
        throw Error("Bitmap image is not valid");
    }

    Bytes out;
    out.reserve(pixelOffset + imageSize);
    putBmpFileHeader(out, static_cast<std::uint32_t>(pixelOffset + imageSize), static_cast<std::uint32_t>(pixelOffset));

    le::put32(out, kInfoHeaderSize);
    le::put32(out, static_cast<std::uint32_t>(bitmap.width()));
    le::put32(out, static_cast<std::uint32_t>(bitmap.height()));
    le::put16(out, 1);
    le::put16(out, static_cast<std::uint16_t>(bytesPerPixel * 8));
    le::put32(out, 0);  // no compression
    le::put32(out, static_cast<std::uint32_t>(imageSize));
    le::put32(out, 0);
    le::put32(out, 0);
    le::put32(out, static_cast<std::uint32_t>(tableEntries));
    le::put32(out, 0);

    for (std::size_t i = 0; i < tableEntries; ++i) {
        const PaletteEntry colour = i < bitmap.palette().size() ? bitmap.palette()[i] : PaletteEntry{};
        out.insert(out.end(), {colour.blue, colour.green, colour.red, 0});
    }

    out.resize(pixelOffset + imageSize, 0);
    std::uint8_t* rows = out.data() + pixelOffset;
    for (int y = bitmap.height() - 1; y >= 0 && pixelBytes > 0; --y, rows += rowBytes) {
        std::memcpy(rows, bitmap.scanLine(y), pixelBytes);
    }
    return out;
}

void writeBmpFile(const Bitmap& bitmap, const std::string& path) {
    writeFileReplacing(path, encodeBmp(bitmap));
}

}  // namespace velmora
