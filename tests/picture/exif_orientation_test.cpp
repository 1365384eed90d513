// Photos with an EXIF Orientation tag: shown upright, sized upright, stored unchanged;
// malformed EXIF data never misleads or crashes the reader.
#include <gtest/gtest.h>

#include "base/error.h"
#include "store/picture/exif_orientation.h"
#include "store/picture/jpeg_picture.h"
#include "tests/support/oriented_sample.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {
namespace {

TEST(ExifOrientation, EveryOrientationTurnsTheBitmapAndTheSizeButNeverTheBytes) {
    TempDir dir;
    for (bool bigEndian : {false, true}) {
        for (int orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE("orientation " + std::to_string(orientation) + (bigEndian ? " MM" : " II"));
            const Bytes stored = orientedJpeg(orientation, bigEndian);
            JpegPicture picture;
            picture.readStored(shareBytes(stored));
            EXPECT_EQ(static_cast<int>(picture.orientation()), orientation);
            // The display fit asks for the size before anything is decoded.
            EXPECT_EQ(picture.width(), uprightWidth(orientation));
            EXPECT_EQ(picture.height(), uprightHeight(orientation));
            EXPECT_EQ(uprightMismatch(orientation, picture.bitmap()), "");
            EXPECT_EQ(*picture.jpegData(), stored);
            // A copy shares the bytes and keeps the upright bitmap.
            JpegPicture copy = picture;
            EXPECT_EQ(uprightMismatch(orientation, copy.bitmap()), "");
            picture.saveToFile(dir.file("saved.jpg"));
            EXPECT_EQ(readFile(dir.file("saved.jpg")), std::string(stored.begin(), stored.end()));
        }
    }
}

TEST(ExifOrientation, EightBitBitmapsTurnWithTheirPalette) {
    Bitmap stored(3, 2, Bitmap::Format::Indexed8);
    for (int i = 0; i < 6; ++i) stored.scanLine(i / 3)[i % 3] = static_cast<std::uint8_t>(i);
    stored.setPalette({{1, 2, 3}, {4, 5, 6}});
    const Bitmap turned = orientBitmap(stored, Orientation::Rotate90);
    ASSERT_EQ(turned.width(), 2);
    ASSERT_EQ(turned.height(), 3);
    const std::uint8_t expected[3][2] = {{3, 0}, {4, 1}, {5, 2}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 2; ++x) EXPECT_EQ(turned.scanLine(y)[x], expected[y][x]) << x << "," << y;
    }
    EXPECT_EQ(turned.palette(), stored.palette());
    EXPECT_EQ(orientBitmap(stored, Orientation::Normal), stored);
}

// Replaces the bytes of an Exif segment from `offset` into its payload ("Exif\0\0" at 0).
Bytes patchedSegment(int orientation, std::size_t offset, const Bytes& bytes) {
    Bytes segment = exifSegment(orientation, false);
    std::copy(bytes.begin(), bytes.end(), segment.begin() + 4 + static_cast<std::ptrdiff_t>(offset));
    return segment;
}

TEST(ExifOrientation, WhereTheTagIsFoundAndWhereMalformedDataIsIgnored) {
    const Bytes plain = blockJpeg();
    const Bytes app0Then = [&] {
        // After the JFIF APP0 segment rather than before it.
        const std::size_t app0End = 2 + 2 + (static_cast<std::size_t>(plain[4]) << 8 | plain[5]);
        Bytes out(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(app0End));
        const Bytes segment = exifSegment(6, true);
        out.insert(out.end(), segment.begin(), segment.end());
        out.insert(out.end(), plain.begin() + static_cast<std::ptrdiff_t>(app0End), plain.end());
        return out;
    }();
    Bytes fillByte = insertAfterSoi(plain, exifSegment(8, false));
    fillByte.insert(fillByte.begin() + 2, 0xFF);
    Bytes afterScan = plain;
    const Bytes lateSegment = exifSegment(6, false);
    afterScan.insert(afterScan.end() - 2, lateSegment.begin(), lateSegment.end());
    Bytes cutInside = insertAfterSoi(plain, exifSegment(6, false));
    cutInside.resize(20);
    Bytes noTagManyEntries = patchedSegment(6, 14, {0xFF, 0xFF});
    noTagManyEntries[4 + 28] = 0x13;  // the orientation entry becomes another tag
    Bytes lengthPastEnd = orientedJpeg(6);
    lengthPastEnd.resize(lengthPastEnd.size() > 60 ? 60 : lengthPastEnd.size());

    struct Case {
        const char* what;
        Bytes stream;
        Orientation expected;
    };
    const std::vector<Case> cases = {
        {"after APP0, big-endian", app0Then, Orientation::Rotate90},
        {"behind a fill byte", fillByte, Orientation::Rotate270},
        {"no Exif at all", plain, Orientation::Normal},
        {"not Exif", insertAfterSoi(plain, patchedSegment(6, 0, {'X', 'M', 'P', 0})), Orientation::Normal},
        {"bad byte order", insertAfterSoi(plain, patchedSegment(6, 6, {'I', 'M'})), Orientation::Normal},
        {"bad TIFF magic", insertAfterSoi(plain, patchedSegment(6, 8, {43, 0})), Orientation::Normal},
        {"IFD beyond the segment", insertAfterSoi(plain, patchedSegment(6, 10, {0xF0, 0xFF, 0xFF, 0x7F})),
         Orientation::Normal},
        {"IFD offset at the very end", insertAfterSoi(plain, patchedSegment(6, 10, {37, 0, 0, 0})),
         Orientation::Normal},
        {"more entries than bytes, the tag among those present",
         insertAfterSoi(plain, patchedSegment(6, 14, {0xFF, 0xFF})), Orientation::Rotate90},
        {"more entries than bytes, no tag", insertAfterSoi(plain, noTagManyEntries), Orientation::Normal},
        {"orientation as LONG", insertAfterSoi(plain, patchedSegment(6, 30, {4, 0})), Orientation::Normal},
        {"two values", insertAfterSoi(plain, patchedSegment(6, 32, {2, 0, 0, 0})), Orientation::Normal},
        {"value 0", orientedJpeg(0), Orientation::Normal},
        {"value 9", orientedJpeg(9), Orientation::Normal},
        {"value 0xFFFF", orientedJpeg(0xFFFF), Orientation::Normal},
        {"Exif after the first scan", afterScan, Orientation::Normal},
        {"stream cut inside the segment", cutInside, Orientation::Normal},
        {"stream cut after it", lengthPastEnd, Orientation::Rotate90},
        {"empty", Bytes{}, Orientation::Normal},
        {"only SOI", Bytes{0xFF, 0xD8}, Orientation::Normal},
        {"segment length 0", Bytes{0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x00, 0xFF, 0xD9}, Orientation::Normal},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(exifOrientation(c.stream), c.expected) << c.what;
    }
    // A picture whose EXIF data is malformed still reads and decodes as stored.
    JpegPicture picture;
    picture.readStored(shareBytes(cases[6].stream));  // IFD beyond the segment
    EXPECT_EQ(uprightMismatch(1, picture.bitmap()), "");
}

}  // namespace
}  // namespace velmora::test
