// Large bitmaps are encoded as two halves on two threads and joined at a restart
// marker: the stream must be the one libjpeg writes in one go with that restart
// interval, and decode to the pixels of the stream without restart markers.

#include <gtest/gtest.h>
#include <jpeglib.h>

#include "base/error.h"
#include "store/picture/jpeg_encoder.h"
#include "store/picture/jpeg_picture.h"
#include "store/picture/jpeg_restart_splice.h"
#include "tests/picture/jpeg_samples.h"
#include "tests/picture/libjpeg_reference.h"
#include "tools/synthetic_picture.h"

namespace velmora {
namespace {

// The restart interval a stream's DRI segment sets, or 0.
unsigned restartInterval(const Bytes& jpeg) {
    for (const test::Segment& segment : test::segmentsUpToScan(jpeg)) {
        if (segment.marker == 0xDD && segment.payload.size() == 2) {
            return static_cast<unsigned>(segment.payload[0]) << 8 | segment.payload[1];
        }
    }
    return 0;
}

// One libjpeg compression of the whole bitmap with the encoder's settings.
Bytes wholeReference(const Bitmap& bitmap, bool grayscale, unsigned interval) {
    test::LibjpegCompressor compressor(bitmap.width(), bitmap.height(), 3, JCS_EXT_BGR);
    jpeg_set_defaults(&compressor.cinfo);
    jpeg_set_quality(&compressor.cinfo, 90, TRUE);
    compressor.cinfo.dct_method = JDCT_FLOAT;
    if (grayscale) jpeg_set_colorspace(&compressor.cinfo, JCS_GRAYSCALE);
    compressor.cinfo.restart_interval = interval;
    return compressor.finish([&](int y) { return bitmap.scanLine(y); });
}

std::size_t restartMarkers(const Bytes& jpeg) {
    std::size_t count = 0;
    for (std::size_t i = test::startOfScan(jpeg); i + 1 < jpeg.size(); ++i) {
        count += jpeg[i] == 0xFF && (jpeg[i + 1] & 0xF8) == 0xD0;
    }
    return count;
}

TEST(JpegHalves, EqualOneCompressionWithTheRestartIntervalAndDecodeToTheSamePixels) {
    struct Case {
        int width;
        int height;
        bool grayscale;
        std::size_t maxInterval;
        std::size_t minMarkers;  // restart markers the case must exercise
    };
    const Case cases[] = {
        {301, 203, false, 65535, 1},  // edges that are not whole MCUs, one interval a half
        {17, 17, false, 65535, 1},    // the smallest split: two MCU rows
        {64, 48, false, 65535, 1},    // an odd number of MCU rows
        {150, 100, true, 65535, 1},   // greyscale: 8x8 MCUs
        {200, 400, false, 13, 20},    // one MCU row an interval: markers numbered past 7 in both halves
        {120, 301, true, 45, 9},      // three greyscale rows an interval
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << (c.grayscale ? " grey" : ""));
        const Bitmap bitmap = tools::syntheticBitmap(c.width, c.height, 3);
        JpegDefaults settings;
        settings.grayscaleOutput = c.grayscale;
        const Bytes halves = encodeJpegInHalves(bitmap, settings, c.maxInterval);

        const unsigned interval = restartInterval(halves);
        ASSERT_GT(interval, 0u);
        EXPECT_LE(interval, c.maxInterval);
        EXPECT_GE(restartMarkers(halves), c.minMarkers);
        EXPECT_EQ(halves, wholeReference(bitmap, c.grayscale, interval));

        const Bytes plain = wholeReference(bitmap, c.grayscale, 0);
        EXPECT_EQ(test::referenceDecode(halves, JCS_EXT_BGR).bytes, test::referenceDecode(plain, JCS_EXT_BGR).bytes);
    }
}

TEST(JpegHalves, OnlyBitmapsOfAMegapixelOrMoreAreSplit) {
    // Just below: the stream of today, without restart markers.
    const Bitmap small = tools::syntheticBitmap(999, 1000, 1);
    JpegPicture smallPicture;
    smallPicture.assignBitmap(small);
    EXPECT_EQ(*smallPicture.jpegData(), test::referenceEncode(small));

    const Bitmap large = tools::syntheticBitmap(1000, 1000, 1);
    JpegPicture largePicture;
    largePicture.assignBitmap(large);
    const Bytes stored = *largePicture.jpegData();
    // 63 MCU rows: 32 of them a restart interval, split after the first.
    EXPECT_EQ(restartInterval(stored), 32u * 63u);
    EXPECT_EQ(restartMarkers(stored), 1u);
    EXPECT_EQ(stored, wholeReference(large, false, 32 * 63));
    EXPECT_EQ(largePicture.width(), 1000);
    EXPECT_EQ(largePicture.height(), 1000);

    // Progressive streams are never split.
    JpegDefaults progressive;
    progressive.progressiveEncoding = true;
    EXPECT_EQ(restartInterval(encodeJpeg(large, progressive)), 0u);
}

TEST(JpegHalves, FailuresAreTheWholeCompressionsAndBadStreamsAreNotJoined) {
    // Too wide for JPEG: both halves fail; the error is the one a single compression gives.
    try {
        encodeJpeg(Bitmap(70000, 20, Bitmap::Format::Bgr24), JpegDefaults{});
        FAIL() << "no error";
    } catch (const JpegError& error) {
        EXPECT_EQ(error.code(), 41);
    }

    // Streams that are not one baseline frame and scan are never joined.
    const Bitmap bitmap = tools::syntheticBitmap(48, 48, 2);
    const Bytes good = test::referenceEncode(bitmap);
    JpegDefaults progressive;
    progressive.progressiveEncoding = true;
    for (const Bytes& bad : {Bytes{0x00, 0x01, 0xFF, 0xD9}, encodeJpeg(bitmap, progressive)}) {
        Bytes top = good;
        EXPECT_FALSE(spliceAtRestart(top, bad, 96, 1));
        EXPECT_EQ(top, good);
        Bytes badTop = bad;
        EXPECT_FALSE(spliceAtRestart(badTop, good, 96, 1));
        EXPECT_EQ(badTop, bad);
    }
}

}  // namespace
}  // namespace velmora
