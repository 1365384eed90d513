// A BMP large enough that two threads copy its rows and the encoder splits it: read
// back pixel for pixel, and stored as one baseline stream with the pixels of today's.

#include <gtest/gtest.h>
#include <jpeglib.h>

#include "base/little_endian.h"
#include "store/imagefile/bmp_reader.h"
#include "store/imagefile/bmp_writer.h"
#include "store/imagefile/picture_file.h"
#include "tests/imagefile/bmp_builder.h"
#include "tests/picture/libjpeg_reference.h"
#include "tests/support/byte_text.h"
#include "tests/support/temp_dir.h"
#include "tools/synthetic_picture.h"

namespace velmora {
namespace {

// 8.7 MB of rows: more than one thread copies.
constexpr int kSide = 1700;

using test::asString;

TEST(LargeBmp, RowsReadTheSameWhicheverWayTheyRunAndWhereverTheFileEnds) {
    const Bitmap bitmap = tools::syntheticBitmap(kSide, kSide, 5);
    test::TempDir dir;

    const Bytes bottomUp = encodeBmp(bitmap);
    test::BmpLayout layout;
    layout.width = kSide;
    layout.height = -kSide;
    layout.pixels = test::packRows(test::rgbRows(bitmap), 24, true);
    const Bytes topDown = test::buildBmp(layout);
    for (const Bytes* file : {&bottomUp, &topDown}) {
        test::writeFile(dir.file("whole.bmp"), asString(*file));
        EXPECT_TRUE(readBmpFile(dir.file("whole.bmp")) == bitmap);
        EXPECT_TRUE(readBmp(*file) == bitmap);
    }

    // Cut inside the row 1000 rows up from the bottom, after five whole pixels and a byte.
    const std::size_t stride = bitmap.bytesPerLine();
    const std::uint32_t pixelsAt = le::u32(bottomUp.data() + 10);
    const Bytes cut(bottomUp.begin(), bottomUp.begin() + pixelsAt + 1000 * stride + 5 * 3 + 1);
    Bitmap expected = bitmap;
    const int cutRow = kSide - 1 - 1000;
    std::fill(expected.scanLine(cutRow) + 5 * 3, expected.scanLine(cutRow) + stride, 0);
    for (int y = 0; y < cutRow; ++y) std::fill(expected.scanLine(y), expected.scanLine(y) + stride, 0);
    test::writeFile(dir.file("cut.bmp"), asString(cut));
    EXPECT_TRUE(readBmpFile(dir.file("cut.bmp")) == expected);
    EXPECT_TRUE(readBmp(cut) == expected);
}

TEST(LargeBmp, IsStoredAsOneStreamWithThePixelsOfAWholeCompression) {
    const Bitmap bitmap = tools::syntheticBitmap(kSide, kSide, 6);
    test::TempDir dir;
    writeBmpFile(bitmap, dir.file("large.bmp"));
    JpegPicture picture = loadPictureFile(dir.file("large.bmp"));
    const Bytes stored = *picture.jpegData();

    // A decoder that knows nothing of the split sees the picture libjpeg makes in one go.
    const test::DecodedPixels decoded = test::referenceDecode(stored, JCS_EXT_BGR);
    EXPECT_EQ(decoded.width, kSide);
    EXPECT_EQ(decoded.height, kSide);
    EXPECT_EQ(decoded.bytes, test::referenceDecode(test::referenceEncode(bitmap), JCS_EXT_BGR).bytes);
}

}  // namespace
}  // namespace velmora
