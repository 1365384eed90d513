#pragma once
// A stored picture made small for the thumbnail grid: upright by its EXIF orientation and
// fitted within a square of `edge` device pixels (never enlarged). The photo's own Exif
// thumbnail is used when it covers that size and has the picture's proportions; otherwise
// the picture is decoded at the largest DCT reduction that still covers it (1/8 for a
// photo of many megapixels), by the display decoder where it takes the stream and by
// libjpeg where it declines, and then averaged down.

#include "base/bytes.h"
#include "store/picture/bitmap.h"

namespace velmora {

struct ThumbnailPicture {
    Bitmap bitmap;          // 24-bit, at most edge x edge
    bool fromExif = false;  // made from the embedded thumbnail
};

// Raises JpegError (or Error) when the picture cannot be decoded; nothing is made then.
// Runs on the calling thread alone, so several may run at once on different pictures.
ThumbnailPicture makeThumbnail(const Bytes& jpeg, int edge);

// The size a picture of width x height takes within a square of edge, at least 1 x 1.
struct ThumbnailSize {
    int width = 0;
    int height = 0;
};
ThumbnailSize thumbnailSize(int width, int height, int edge);

// source averaged down (or, when larger, drawn by nearest neighbour) to width x height,
// as 24-bit pixels.
Bitmap shrinkToSize(const Bitmap& source, int width, int height);

}  // namespace velmora
