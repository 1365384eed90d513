// The codec's settings: what the encoder writes, how streams of each colour space
// decode, and the refusal of headers that promise too many pixels.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include <gtest/gtest.h>
#include <jpeglib.h>
// After jpeglib.h: the message list depends on its configuration.
#include <jerror.h>

#include "base/error.h"
#include "store/picture/jpeg_message_codes.h"
#include "store/picture/jpeg_picture.h"
#include "tests/picture/jpeg_samples.h"
#include "tests/picture/libjpeg_reference.h"
#include "tests/support/peak_memory.h"
#include "tools/synthetic_picture.h"

namespace velmora {
namespace {

using test::Segment;

// The quantization tables of the JPEG standard, Annex K, in natural order.
constexpr int kLuminance[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                                14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                                18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                                49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr int kChrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                  24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
// Position in natural order of each zigzag entry.
constexpr int kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                             41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                             30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

Bytes scaledTableInZigzag(const int (&table)[64]) {
    Bytes expected;
    for (const int position : kZigzag) {
        // Quality 90 scales by 20 %, rounded, within 1..255.
        expected.push_back(static_cast<std::uint8_t>(std::clamp((table[position] * 20 + 50) / 100, 1, 255)));
    }
    return expected;
}

std::vector<Segment> segmentsWithMarker(const std::vector<Segment>& segments, std::uint8_t marker) {
    std::vector<Segment> found;
    std::copy_if(segments.begin(), segments.end(), std::back_inserter(found),
                 [marker](const Segment& segment) { return segment.marker == marker; });
    return found;
}

Bytes encodeThroughPicture(const Bitmap& bitmap) {
    JpegPicture picture;
    picture.assignBitmap(bitmap);
    return *picture.jpegData();
}

int decoderError(const Bytes& stream) {
    JpegPicture picture;
    try {
        picture.readStored(shareBytes(stream));
        picture.bitmap();
    } catch (const JpegError& error) {
        return error.code();
    }
    return 0;
}

// Restores the 24-bit default however a test ends.
struct EightBitScreen {
    EightBitScreen() { settleScreenDepth(8); }
    ~EightBitScreen() { settleScreenDepth(32); }
};

TEST(JpegEncoder, WritesBaselineJfifMarkerByMarker) {
    const Bytes jpeg = encodeThroughPicture(tools::syntheticBitmap(40, 24, 2));
    ASSERT_GE(jpeg.size(), 4u);
    EXPECT_EQ((Bytes{jpeg[0], jpeg[1], jpeg[2], jpeg[3]}), (Bytes{0xFF, 0xD8, 0xFF, 0xE0}));
    const std::vector<Segment> segments = test::segmentsUpToScan(jpeg);

    const std::vector<Segment> app0 = segmentsWithMarker(segments, 0xE0);
    ASSERT_EQ(app0.size(), 1u);
    // "JFIF\0", version 1.01, unit 0, density 1 x 1, no thumbnail.
    EXPECT_EQ(app0[0].payload, (Bytes{'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}));

    Bytes tables;
    for (const Segment& dqt : segmentsWithMarker(segments, 0xDB)) {
        tables.insert(tables.end(), dqt.payload.begin(), dqt.payload.end());
    }
    Bytes expected = {0x00};
    const Bytes luminance = scaledTableInZigzag(kLuminance);
    expected.insert(expected.end(), luminance.begin(), luminance.end());
    expected.push_back(0x01);
    const Bytes chrominance = scaledTableInZigzag(kChrominance);
    expected.insert(expected.end(), chrominance.begin(), chrominance.end());
    EXPECT_EQ(tables, expected);

    const std::vector<Segment> sof = segmentsWithMarker(segments, 0xC0);
    ASSERT_EQ(sof.size(), 1u);
    EXPECT_EQ(sof[0].payload, (Bytes{8, 0, 24, 0, 40, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}));

    // The standard Huffman tables: DC luminance first.
    const std::vector<Segment> dht = segmentsWithMarker(segments, 0xC4);
    ASSERT_FALSE(dht.empty());
    const Bytes dcLuminance = {0x00, 0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    EXPECT_TRUE(std::equal(dcLuminance.begin(), dcLuminance.end(), dht[0].payload.begin()));

    for (const Segment& segment : segments) {
        EXPECT_NE(segment.marker, 0xC2) << "progressive frame";
        EXPECT_NE(segment.marker, 0xDD) << "restart interval";
        EXPECT_NE(segment.marker, 0xEE) << "Adobe marker";
    }
}

TEST(JpegEncoder, MatchesLibjpegWithTheFloatingPointDct) {
    const Bitmap bitmap = tools::syntheticBitmap(123, 77, 4);
    EXPECT_EQ(encodeThroughPicture(bitmap), test::referenceEncode(bitmap));
}

// What any other program sees in the top left pixel of a stream.
void expectTopLeftRgb(const Bytes& jpeg, int red, int green, int blue) {
    const test::DecodedPixels rgb = test::referenceDecode(jpeg, JCS_RGB);
    EXPECT_NEAR(rgb.row(0)[0], red, 4);
    EXPECT_NEAR(rgb.row(0)[1], green, 4);
    EXPECT_NEAR(rgb.row(0)[2], blue, 4);
}

TEST(JpegEncoder, KeepsColoursInBlueGreenRedOrder) {
    expectTopLeftRgb(encodeThroughPicture(test::solidBitmap(16, 16, 30, 120, 220)), 220, 120, 30);
}

TEST(JpegEncoder, EncodesAnEightBitBitmapThroughItsPalette) {
    Bitmap indexed(8, 8, Bitmap::Format::Indexed8);
    indexed.setPalette({{250, 10, 10}});
    expectTopLeftRgb(encodeThroughPicture(indexed), 250, 10, 10);
}

TEST(JpegEncoder, ABitmapTooWideForJpegFailsWithTheDecoderError) {
    JpegPicture picture;
    picture.assignBitmap(Bitmap(70000, 1, Bitmap::Format::Bgr24));
    try {
        picture.jpegData();
        FAIL() << "no error";
    } catch (const JpegError& error) {
        EXPECT_EQ(error.code(), 41);
    }
    EXPECT_FALSE(picture.hasData());
}

TEST(JpegDecoder, DecodesColourToTwentyFourBitsLikeLibjpeg) {
    const Bytes jpeg = tools::syntheticJpeg(50, 30, 6);
    JpegPicture picture;
    picture.readStored(shareBytes(jpeg));
    const Bitmap& bitmap = picture.bitmap();
    ASSERT_EQ(bitmap.format(), Bitmap::Format::Bgr24);
    EXPECT_EQ(bitmap.bytesPerLine(), 152u);  // 150 rounded up to 4
    // libjpeg's own red-green-blue output, swapped, is what the bitmap must hold.
    const test::DecodedPixels rgb = test::referenceDecode(jpeg, JCS_RGB);
    ASSERT_EQ(rgb.width, 50);
    for (int y = 0; y < rgb.height; ++y) {
        for (int x = 0; x < rgb.width; ++x) {
            const std::uint8_t* pixel = bitmap.scanLine(y) + 3 * x;
            const std::uint8_t* expected = rgb.row(y) + 3 * x;
            ASSERT_EQ(pixel[0], expected[2]) << x << "," << y;
            ASSERT_EQ(pixel[1], expected[1]);
            ASSERT_EQ(pixel[2], expected[0]);
        }
    }
}

TEST(JpegDecoder, GrayscaleGivesEightBitsWithAGrayPaletteOfAtMost236Levels) {
    test::SampleStream sample;
    sample.width = 256;
    sample.height = 4;
    sample.space = test::SampleSpace::Gray;
    sample.pixel = [](int x, int) { return std::vector<std::uint8_t>{static_cast<std::uint8_t>(x)}; };
    JpegPicture picture;
    picture.readStored(shareBytes(test::libjpegEncode(sample)));
    const Bitmap& bitmap = picture.bitmap();
    ASSERT_EQ(bitmap.format(), Bitmap::Format::Indexed8);
    EXPECT_EQ(bitmap.width(), 256);
    ASSERT_GT(bitmap.palette().size(), 200u);
    ASSERT_LE(bitmap.palette().size(), 236u);
    for (const PaletteEntry& entry : bitmap.palette()) {
        EXPECT_EQ(entry.red, entry.green);
        EXPECT_EQ(entry.red, entry.blue);
    }
    std::set<int> used;
    for (int x = 0; x < 256; ++x) {
        const int index = bitmap.scanLine(2)[x];
        ASSERT_LT(index, static_cast<int>(bitmap.palette().size()));
        used.insert(index);
        EXPECT_NEAR(bitmap.palette()[index].red, x, 8);
    }
    EXPECT_GT(used.size(), 100u);
}

TEST(JpegDecoder, EightBitScreensGetAPaletteOfAtMost236Colours) {
    EightBitScreen screen;
    const Bytes jpeg = tools::syntheticJpeg(64, 64, 2);
    JpegPicture indexed;
    indexed.readStored(shareBytes(jpeg));
    const Bitmap& bitmap = indexed.bitmap();
    ASSERT_EQ(bitmap.format(), Bitmap::Format::Indexed8);
    EXPECT_LE(bitmap.palette().size(), 236u);
    EXPECT_GT(bitmap.palette().size(), 16u);

    settleScreenDepth(32);
    JpegPicture full;
    full.readStored(shareBytes(jpeg));
    const Bitmap expanded = bitmap.toBgr24();
    long difference = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64 * 3; ++x) {
            difference += std::abs(expanded.scanLine(y)[x] - full.bitmap().scanLine(y)[x]);
        }
    }
    EXPECT_LT(difference / (64 * 64 * 3), 12);  // dithered, but the same picture
}

// Four patches: red, green, blue, and a mid gray, as CMYK inks.
std::vector<std::uint8_t> inkOf(int x, int y, bool inverted) {
    std::vector<std::uint8_t> ink;
    if (y < 8) {
        ink = x < 8 ? std::vector<std::uint8_t>{0, 255, 255, 0} : std::vector<std::uint8_t>{255, 0, 255, 0};
    } else {
        ink = x < 8 ? std::vector<std::uint8_t>{255, 255, 0, 0} : std::vector<std::uint8_t>{0, 0, 0, 128};
    }
    if (inverted) {
        for (std::uint8_t& value : ink) {
            value = static_cast<std::uint8_t>(255 - value);
        }
    }
    return ink;
}

TEST(JpegDecoder, AdobeCmykAndYcckStreamsBecomeTheirColours) {
    for (const test::SampleSpace space : {test::SampleSpace::Cmyk, test::SampleSpace::Ycck}) {
        test::SampleStream sample;
        sample.space = space;
        // libjpeg writes an Adobe marker for these, and such files carry inverted inks.
        sample.pixel = [](int x, int y) { return inkOf(x, y, true); };
        JpegPicture picture;
        picture.readStored(shareBytes(test::libjpegEncode(sample)));
        const Bitmap& bitmap = picture.bitmap();
        ASSERT_EQ(bitmap.format(), Bitmap::Format::Bgr24);
        auto expectColour = [&](int x, int y, int red, int green, int blue) {
            const std::uint8_t* pixel = bitmap.scanLine(y) + 3 * x;
            EXPECT_NEAR(pixel[2], red, 12) << x << "," << y;
            EXPECT_NEAR(pixel[1], green, 12) << x << "," << y;
            EXPECT_NEAR(pixel[0], blue, 12) << x << "," << y;
        };
        expectColour(3, 3, 255, 0, 0);
        expectColour(12, 3, 0, 255, 0);
        expectColour(3, 12, 0, 0, 255);
        expectColour(12, 12, 127, 127, 127);
    }
}

TEST(JpegDecoder, RefusesHeadersPromisingMoreThan2To28PixelsBeforeAllocating) {
    Bytes jpeg = tools::syntheticJpeg(16, 16, 0);
    const std::size_t sof = [&] {
        for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
            if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) return i;
        }
        return jpeg.size();
    }();
    ASSERT_LT(sof, jpeg.size());
    // 60000 x 60000 pixels: 10 GB as a bitmap.
    jpeg[sof + 5] = 0xEA;
    jpeg[sof + 6] = 0x60;
    jpeg[sof + 7] = 0xEA;
    jpeg[sof + 8] = 0x60;

    const std::int64_t before = test::peakMemoryKiB();
    JpegPicture picture;
    picture.readStored(shareBytes(jpeg));
    EXPECT_EQ(picture.width(), 60000);
    EXPECT_EQ(decoderError(jpeg), 41);
    try {
        picture.bitmap();
        FAIL() << "no error";
    } catch (const JpegError& error) {
        EXPECT_EQ(error.code(), 41);
    }
    EXPECT_TRUE(picture.bitmap().empty());
    EXPECT_LT(test::peakMemoryKiB() - before, 64 * 1024);  // KiB
}

TEST(JpegDecoder, BitmapSizesBeyondTheLimitAreRefused) {
    EXPECT_THROW(Bitmap(20000, 15000, Bitmap::Format::Bgr24), Error);
    EXPECT_THROW(Bitmap(-1, 5, Bitmap::Format::Bgr24), Error);
    EXPECT_NO_THROW(Bitmap(0, 100000, Bitmap::Format::Bgr24));
}

TEST(JpegMessageCodes, FollowLibjpeg6bNumbering) {
    EXPECT_EQ(libjpeg6bMessageCode(JERR_INPUT_EMPTY), 42);
    EXPECT_EQ(libjpeg6bMessageCode(JERR_NO_IMAGE), 51);
    EXPECT_EQ(libjpeg6bMessageCode(JERR_NO_SOI), 53);
    EXPECT_EQ(libjpeg6bMessageCode(JERR_IMAGE_TOO_BIG), 41);
    EXPECT_EQ(libjpeg6bMessageCode(JERR_SOF_DUPLICATE), 58);
    EXPECT_EQ(libjpeg6bMessageCode(JERR_XMS_WRITE), 72);
    EXPECT_EQ(libjpeg6bMessageCode(JWRN_TOO_MUCH_DATA), 123);
    // Messages 6b did not have still get a 6b number.
    EXPECT_EQ(libjpeg6bMessageCode(JERR_NO_ARITH_TABLE), 1);
    for (int code = 1; code < JMSG_LASTMSGCODE; ++code) {
        const int mapped = libjpeg6bMessageCode(code);
        EXPECT_GT(mapped, 0) << code;
        EXPECT_LE(mapped, 123) << code;
    }
}

}  // namespace
}  // namespace velmora
