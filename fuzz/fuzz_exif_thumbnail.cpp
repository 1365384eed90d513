// Feeds arbitrary bytes to the thumbnail maker: the Exif thumbnail's finder and the
// decode at a small size must make a thumbnail or raise the product's error, never
// crash, read outside the stream or take a size from the Exif data on trust.

#include <cstddef>
#include <cstdint>
#include <exception>

#include "store/thumbnails/exif_thumbnail.h"
#include "store/thumbnails/thumbnail_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const velmora::Bytes jpeg(data, data + size);
    if (const auto run = velmora::exifThumbnail(jpeg)) {
        // Within the stream, and a JPEG stream's start.
        if (run->data < jpeg.data() || run->data + run->size > jpeg.data() + jpeg.size() || run->data[0] != 0xFF)
            __builtin_trap();
    }
    for (const int edge : {16, 96}) {
        try {
            const velmora::ThumbnailPicture made = velmora::makeThumbnail(jpeg, edge);
            if (made.bitmap.width() > edge || made.bitmap.height() > edge) __builtin_trap();
        } catch (const std::exception&) {
        }
    }
    return 0;
}
