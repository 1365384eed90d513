#pragma once
// A small picture of coloured blocks, no two alike and no symmetry, as a JPEG stream
// carrying an EXIF Orientation tag: every way of turning or mirroring it shows.

#include <cstdint>
#include <functional>
#include <string>

#include "base/bytes.h"
#include "store/picture/bitmap.h"

namespace velmora::test {

// Blocks of kBlock x kBlock pixels, kBlockColumns x kBlockRows of them.
inline constexpr int kBlock = 16;
inline constexpr int kBlockColumns = 3;
inline constexpr int kBlockRows = 2;

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
};

// The colour of stored block (column, row).
Rgb blockColour(int column, int row);

// The block picture encoded by the picture object, without EXIF data.
Bytes blockJpeg();
// The same with an APP1 Exif segment holding
// Orientation = orientation right after SOI (big-endian TIFF data when bigEndian).
Bytes orientedJpeg(int orientation, bool bigEndian = false);

// An Exif APP1 segment (marker, length and payload) made of a TIFF header in the given
// byte order and IFD0 holding the Orientation entry.
Bytes exifSegment(int orientation, bool bigEndian);

// Inserts a segment right after the SOI marker of a JPEG stream.
Bytes insertAfterSoi(const Bytes& jpeg, const Bytes& segment);

// The upright picture's size for an orientation: 48 x 32, or 32 x 48 for 5 to 8.
int uprightWidth(int orientation);
int uprightHeight(int orientation);

// Compares the centre of every block of an upright picture, read through pixelAt in
// the upright picture's coordinates, with what the orientation's definition says it
// shows; "" when all match, else what differs.
std::string uprightMismatch(int orientation, const std::function<Rgb(int x, int y)>& pixelAt);
// The same for a 24-bit bitmap, whose size must be the upright size.
std::string uprightMismatch(int orientation, const Bitmap& bitmap);

}  // namespace velmora::test
