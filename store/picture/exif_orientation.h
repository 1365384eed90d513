#pragma once
// The EXIF Orientation tag of a JPEG stream, and turning a decoded bitmap upright by it.

#include "base/bytes.h"
#include "store/picture/bitmap.h"

namespace velmora {

// EXIF orientation values: how the stored rows map to the upright picture.
enum class Orientation {
    Normal = 1,
    MirrorHorizontal = 2,
    Rotate180 = 3,
    MirrorVertical = 4,
    Transpose = 5,   // mirrored, then turned 270 degrees clockwise
    Rotate90 = 6,    // turned 90 degrees clockwise to be upright
    Transverse = 7,  // mirrored, then turned 90 degrees clockwise
    Rotate270 = 8,   // turned 270 degrees clockwise to be upright
};

// The Orientation tag (0x0112) of the first Exif APP1 segment before the first scan,
// Normal when there is none or it is out of range. Every offset and length is checked
// against the stream; malformed segments are ignored, never raised.
Orientation exifOrientation(const Bytes& jpeg);

// True when the upright picture's width is the stored height (orientations 5 to 8).
bool swapsWidthAndHeight(Orientation orientation);

// The bitmap turned and mirrored upright; 8-bit bitmaps keep their palette.
Bitmap orientBitmap(const Bitmap& stored, Orientation orientation);

}  // namespace velmora
