#include "store/imagefile/bmp_writer.h"

#include <algorithm>
#include <limits>

#include "base/error.h"
#include "store/imagefile/bmp_layout.h"
#include "store/imagefile/file_access.h"
#include "base/little_endian.h"

namespace velmora {

namespace {

constexpr std::size_t kMaxPaletteEntries = 256;

}  // namespace

void putBmpFileHeader(Bytes& out, std::uint32_t fileSize, std::uint32_t pixelOffset) {
    out.push_back('B');
    out.push_back('M');
    le::put32(out, fileSize);
    le::put32(out, 0);  // reserved
    le::put32(out, pixelOffset);
}

std::vector<ByteRun> bmpFileRuns(const Bitmap& bitmap, Bytes& headers) {
    static const std::uint8_t kPadding[3] = {};
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
    const std::size_t pixelOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize + 4 * tableEntries;
    if (imageSize > std::numeric_limits<std::uint32_t>::max() - pixelOffset) {
        throw Error("Bitmap image is not valid");
    }

    headers.clear();
    headers.reserve(pixelOffset);
    putBmpFileHeader(headers, static_cast<std::uint32_t>(pixelOffset + imageSize), static_cast<std::uint32_t>(pixelOffset));

    le::put32(headers, kBmpInfoHeaderSize);
    le::put32(headers, static_cast<std::uint32_t>(bitmap.width()));
    le::put32(headers, static_cast<std::uint32_t>(bitmap.height()));
    le::put16(headers, 1);
    le::put16(headers, static_cast<std::uint16_t>(bytesPerPixel * 8));
    le::put32(headers, 0);  // no compression
    le::put32(headers, static_cast<std::uint32_t>(imageSize));
    le::put32(headers, 0);
    le::put32(headers, 0);
    le::put32(headers, static_cast<std::uint32_t>(tableEntries));
    le::put32(headers, 0);

    for (std::size_t i = 0; i < tableEntries; ++i) {
        const PaletteEntry colour = i < bitmap.palette().size() ? bitmap.palette()[i] : PaletteEntry{};
        headers.insert(headers.end(), {colour.blue, colour.green, colour.red, 0});
    }

    std::vector<ByteRun> runs{{headers.data(), headers.size()}};
    if (pixelBytes == 0) return runs;
    // The padding is written as zeros whatever the bitmap's own padding bytes hold.
    for (int y = bitmap.height() - 1; y >= 0; --y) {
        runs.push_back({bitmap.scanLine(y), pixelBytes});
        if (rowBytes > pixelBytes) runs.push_back({kPadding, rowBytes - pixelBytes});
    }
    return runs;
}

Bytes encodeBmp(const Bitmap& bitmap) {
    Bytes headers;
    const std::vector<ByteRun> runs = bmpFileRuns(bitmap, headers);
    std::size_t size = 0;
    for (const ByteRun& run : runs) size += run.size;
    Bytes out;
    out.reserve(size);
    for (const ByteRun& run : runs) out.insert(out.end(), run.data, run.data + run.size);
    return out;
}

void writeBmpFile(const Bitmap& bitmap, const std::string& path) {
    writeFileReplacing(path, encodeBmp(bitmap));
}

}  // namespace velmora
