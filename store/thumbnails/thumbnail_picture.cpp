#include "store/thumbnails/thumbnail_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "store/picture/covering_scale.h"
#include "store/picture/exif_orientation.h"
#include "store/picture/jpeg_decoder.h"
#include "store/picture/reduced_jpeg_decoder.h"
#include "store/picture/scale_nearest.h"
#include "store/thumbnails/exif_thumbnail.h"

namespace velmora {

namespace {

// Thumbnails are small: libjpeg's fast integer transform is good enough, and always 24-bit.
JpegDefaults thumbnailSettings() {
    JpegDefaults settings;
    settings.bestSpeed = true;
    settings.pixelFormat = PixelFormat::Bits24;
    return settings;
}

bool sameProportions(int width, int height, int otherWidth, int otherHeight) {
    // Within 2 %: an embedded picture with bars added to fill 4:3 is not the photo.
    const std::int64_t a = static_cast<std::int64_t>(width) * otherHeight;
    const std::int64_t b = static_cast<std::int64_t>(otherWidth) * height;
    return std::llabs(a - b) * 50 <= std::max(a, b);
}

// The embedded thumbnail, stored the way the photo is, when it covers `cover`.
bool decodeEmbedded(const Bytes& jpeg, const JpegHeader& photo, ThumbnailSize cover, Bitmap& stored) {
    const std::optional<ByteRun> run = exifThumbnail(jpeg);
    if (!run) return false;
    // A cut-off stream decodes with grey below the cut: only one that ends (before any
    // padding) is used.
    std::size_t end = run->size;
    while (end > 2 && run->data[end - 1] == 0x00) --end;
    if (end < 4 || run->data[end - 2] != 0xFF || run->data[end - 1] != 0xD9) return false;
    try {
        const Bytes embedded(run->data, run->data + end);
        const JpegHeader header = readJpegHeader(embedded);
        if (header.width < cover.width || header.height < cover.height ||
            !sameProportions(header.width, header.height, photo.width, photo.height))
            return false;
        Bitmap decoded;
        decodeJpeg(embedded, thumbnailSettings(), decoded);
        // A header that lies about the size is caught here.
        if (decoded.width() != header.width || decoded.height() != header.height) return false;
        stored = std::move(decoded);
        return true;
    } catch (const std::exception&) {
        return false;  // a damaged embedded picture: the photo itself is decoded instead
    }
}

}  // namespace

ThumbnailSize thumbnailSize(int width, int height, int edge) {
    if (width <= edge && height <= edge) return {std::max(width, 1), std::max(height, 1)};
    if (width >= height) {
        return {edge, std::max(1, static_cast<int>(static_cast<std::int64_t>(height) * edge / width))};
    }
    return {std::max(1, static_cast<int>(static_cast<std::int64_t>(width) * edge / height)), edge};
}

ThumbnailPicture makeThumbnail(const Bytes& jpeg, int edge) {
    const JpegHeader header = readJpegHeader(jpeg);
    const Orientation orientation = exifOrientation(jpeg);
    const bool swap = swapsWidthAndHeight(orientation);
    const ThumbnailSize upright =
        thumbnailSize(swap ? header.height : header.width, swap ? header.width : header.height, edge);
    // What the stored rows must cover for that upright size.
    const ThumbnailSize cover = swap ? ThumbnailSize{upright.height, upright.width} : upright;

    ThumbnailPicture result;
    Bitmap stored;
    result.fromExif = decodeEmbedded(jpeg, header, cover, stored);
    if (!result.fromExif) {
        const unsigned denominator = coveringDenominator(static_cast<std::uint32_t>(header.width),
                                                         static_cast<std::uint32_t>(header.height), cover.width,
                                                         cover.height);
        // One thread per picture: the grid runs one picture on each core instead.
        const ReducedDecodeOptions options{.twoThreads = false};
        if (denominator == 1 || !decodeReducedBaseline(jpeg, denominator, stored, options)) {
            decodeJpegCovering(jpeg, thumbnailSettings(), CoverSize{cover.width, cover.height}, stored);
        }
    }
    result.bitmap = shrinkToSize(orientBitmap(stored, orientation), upright.width, upright.height);
    return result;
}

Bitmap shrinkToSize(const Bitmap& source, int width, int height) {
    const Bitmap colour = source.format() == Bitmap::Format::Bgr24 ? Bitmap() : source.toBgr24();
    const Bitmap& from = source.format() == Bitmap::Format::Bgr24 ? source : colour;
    if (from.empty() || width <= 0 || height <= 0) return Bitmap(0, 0, Bitmap::Format::Bgr24);
    if (from.width() == width && from.height() == height) return from;
    if (from.width() < width || from.height() < height) return scaleNearest(from, width, height);
    Bitmap target(width, height, Bitmap::Format::Bgr24, Bitmap::Fill::Unset);
    // Each target pixel is the mean of the source pixels it covers.
    std::vector<int> left(static_cast<std::size_t>(width) + 1);
    for (int x = 0; x <= width; ++x) left[x] = static_cast<int>(static_cast<std::int64_t>(x) * from.width() / width);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        const int top = static_cast<int>(static_cast<std::int64_t>(y) * from.height() / height);
        const int bottom = static_cast<int>(static_cast<std::int64_t>(y + 1) * from.height() / height);
        std::fill(sums.begin(), sums.end(), 0u);
        for (int sy = top; sy < bottom; ++sy) {
            const std::uint8_t* row = from.scanLine(sy);
            for (int x = 0; x < width; ++x) {
                std::uint32_t b = 0, g = 0, r = 0;
                for (int sx = left[x]; sx < left[x + 1]; ++sx) {
                    b += row[sx * 3];
                    g += row[sx * 3 + 1];
                    r += row[sx * 3 + 2];
                }
                sums[x * 3] += b;
                sums[x * 3 + 1] += g;
                sums[x * 3 + 2] += r;
            }
        }
        std::uint8_t* out = target.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t count = static_cast<std::uint32_t>((bottom - top) * (left[x + 1] - left[x]));
            for (int c = 0; c < 3; ++c) out[x * 3 + c] = static_cast<std::uint8_t>((sums[x * 3 + c] + count / 2) / count);
        }
    }
    return target;
}

}  // namespace velmora
