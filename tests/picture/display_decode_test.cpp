// Display bitmaps: decoded at the smallest DCT reduction that covers the rectangle,
// and pictures whose stored value is read from its front first and whole later.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "base/error.h"
#include "store/picture/jpeg_picture.h"
#include "store/picture/scale_nearest.h"
#include "tests/picture/jpeg_samples.h"
#include "tests/picture/libjpeg_oracle.h"

namespace velmora::test {
namespace {

// Smooth colour fields with some edges: what a reduced decode must keep.
Bytes photoLike(int width, int height, SampleSpace space) {
    SampleStream sample;
    sample.width = width;
    sample.height = height;
    sample.space = space;
    sample.pixel = [=](int x, int y) -> std::vector<std::uint8_t> {
        const auto r = static_cast<std::uint8_t>(x * 255 / width);
        const auto g = static_cast<std::uint8_t>(y * 255 / height);
        const auto b = static_cast<std::uint8_t>(((x / 97 + y / 61) % 2) ? 200 : 40);
        if (space == SampleSpace::Gray) return {static_cast<std::uint8_t>((r + g + b) / 3)};
        return {r, g, b};
    };
    return libjpegEncode(sample);
}

// A stored value handed out in two steps, counting what was read.
struct CountingValue {
    Bytes bytes;
    std::size_t largestFront = 0;
    int wholeReads = 0;
    SharedBytes whole{};  // what readWhole gives (the bytes unless changed)

    DeferredBytes deferred() {
        whole = shareBytes(bytes);
        DeferredBytes value;
        value.size = bytes.size();
        value.readFront = [this](std::size_t count) {
            largestFront = std::max(largestFront, count);
            return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
        };
        value.readWhole = [this] {
            ++wholeReads;
            return whole;
        };
        return value;
    }
};

// The scan's first component pointed at a Huffman table that does not exist: the
// headers parse, decoding fails.
Bytes damagedInTheScan(Bytes bytes) {
    const std::size_t sos = startOfScan(bytes);
    bytes[sos + 6] = 0x33;
    return bytes;
}

TEST(DisplayDecode, TheReducedDecodeFillsTheRectangleAndMatchesTheFullOne) {
    struct Case {
        int width, height, targetWidth, targetHeight;
        SampleSpace space;
    };
    for (const Case& c : {Case{1600, 1200, 534, 401, SampleSpace::Rgb}, Case{1600, 1200, 534, 401, SampleSpace::Gray},
                          Case{2000, 100, 545, 27, SampleSpace::Rgb}, Case{1600, 1200, 1068, 802, SampleSpace::Rgb},
                          Case{300, 200, 300, 200, SampleSpace::Rgb}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " -> " +
                     std::to_string(c.targetWidth) + "x" + std::to_string(c.targetHeight));
        const SharedBytes bytes = shareBytes(photoLike(c.width, c.height, c.space));
        JpegPicture picture;
        picture.loadData(bytes);
        const Bitmap& shown = picture.displayBitmap(c.targetWidth, c.targetHeight);
        EXPECT_EQ(shown.width(), c.targetWidth);
        EXPECT_EQ(shown.height(), c.targetHeight);
        EXPECT_FALSE(picture.hasBitmap());  // the full bitmap is never made for the display
        EXPECT_EQ(&picture.displayBitmap(c.targetWidth, c.targetHeight), &shown);  // kept
        if (c.space == SampleSpace::Gray) {
            EXPECT_EQ(shown.format(), Bitmap::Format::Indexed8);
            EXPECT_LE(shown.palette().size(), 236u);
        }
        JpegPicture full;
        full.loadData(bytes);
        EXPECT_LT(meanDifference(shown, scaleNearest(full.bitmap(), c.targetWidth, c.targetHeight)), 8.0);
        // Once the full bitmap exists, the display comes from it.
        const Bitmap fromFull = scaleNearest(full.bitmap(), c.targetWidth / 2, c.targetHeight / 2);
        EXPECT_EQ(full.displayBitmap(c.targetWidth / 2, c.targetHeight / 2), fromFull);
    }
}

TEST(DisplayDecode, ADecoderErrorIsRaisedOnceAndTheFullDecodeKeepsQuiet) {
    JpegPicture picture;
    picture.loadData(shareBytes(damagedInTheScan(photoLike(320, 240, SampleSpace::Rgb))));
    EXPECT_THROW(picture.displayBitmap(160, 120), JpegError);
    EXPECT_TRUE(picture.decodeFailed());
    EXPECT_NO_THROW(picture.displayBitmap(160, 120));
    EXPECT_NO_THROW(picture.displayBitmap(80, 60));
    EXPECT_NO_THROW(picture.bitmap());  // reported already

    // A preloaded display bitmap carries its failure to the shown picture the same way.
    JpegPicture shown;
    shown.loadData(shareBytes(damagedInTheScan(photoLike(320, 240, SampleSpace::Rgb))));
    shown.adoptDisplayBitmap(Bitmap(160, 120, Bitmap::Format::Bgr24), true);
    EXPECT_NO_THROW(shown.displayBitmap(160, 120));
    EXPECT_NO_THROW(shown.bitmap());
}

TEST(DeferredPicture, HeadersComeFromTheFrontAndTheRestOnlyWhenNeeded) {
    const Bytes stream = photoLike(1200, 900, SampleSpace::Rgb);
    ASSERT_GT(stream.size(), 128u * 1024);
    // Long marker segments before the frame: the front has to grow to reach it.
    Bytes padded(stream.begin(), stream.begin() + 2);
    for (int i = 0; i < 3; ++i) {
        padded.insert(padded.end(), {0xFF, 0xE9, 0xEA, 0x60});  // APP9 of 60,000 bytes
        padded.insert(padded.end(), 60000 - 2, static_cast<std::uint8_t>(i));
    }
    padded.insert(padded.end(), stream.begin() + 2, stream.end());
    Bytes withGraphicHeader = {0x01, 0x00, 0x00, 0x01};
    const auto length = static_cast<std::uint32_t>(stream.size());
    for (int shift = 0; shift < 32; shift += 8) withGraphicHeader.push_back(static_cast<std::uint8_t>(length >> shift));
    withGraphicHeader.insert(withGraphicHeader.end(), stream.begin(), stream.end());

    struct Case {
        const char* name;
        const Bytes& stored;
        const Bytes& jpeg;  // what the picture's data must be
    };
    for (const Case& c : {Case{"plain", stream, stream}, Case{"long segments", padded, padded},
                          Case{"graphic header", withGraphicHeader, stream}}) {
        SCOPED_TRACE(c.name);
        CountingValue value{c.stored};
        JpegPicture picture;
        picture.readStored(value.deferred());
        EXPECT_EQ(picture.width(), 1200);
        EXPECT_EQ(picture.height(), 900);
        EXPECT_TRUE(picture.hasData());
        EXPECT_FALSE(picture.dataFetched());
        EXPECT_EQ(value.wholeReads, 0);
        EXPECT_LT(value.largestFront, c.stored.size());

        JpegPicture copy = picture;  // shares the data slot, also what is fetched later
        EXPECT_EQ(picture.displayBitmap(400, 300).width(), 400);
        EXPECT_EQ(value.wholeReads, 1);
        EXPECT_FALSE(copy.dataFetched());  // the picture on screen holds its display bitmap only
        EXPECT_EQ(*copy.jpegData(), c.jpeg);
        EXPECT_EQ(*picture.jpegData(), c.jpeg);
        EXPECT_EQ(value.wholeReads, 2);
    }
}

TEST(DeferredPicture, AValueThatChangedIsReportedAndNothingIsDrawnFromIt) {
    const Bytes stream = photoLike(1200, 900, SampleSpace::Rgb);
    for (bool removed : {false, true}) {
        SCOPED_TRACE(removed ? "removed" : "replaced");
        CountingValue value{stream};
        JpegPicture picture;
        picture.readStored(value.deferred());
        if (removed) {
            value.whole = nullptr;
        } else {
            Bytes other = stream;
            other[200] ^= 0xFF;  // within the front that was parsed
            value.whole = shareBytes(other);
        }
        EXPECT_THROW(picture.displayBitmap(400, 300), Error);
        EXPECT_TRUE(picture.displayBitmap(400, 300).empty());  // raised once, nothing drawn
        EXPECT_THROW(picture.jpegData(), Error);               // never saved as something else
        EXPECT_EQ(value.wholeReads, 1);
    }
}

TEST(DeferredPicture, SmallValuesAndBadStreamsAreReadWhole) {
    CountingValue small{photoLike(64, 48, SampleSpace::Rgb)};
    JpegPicture picture;
    picture.readStored(small.deferred());
    EXPECT_TRUE(picture.dataFetched());
    EXPECT_EQ(picture.width(), 64);

    Bytes notJpeg(100 * 1024, 0x42);
    CountingValue bad{notJpeg};
    try {
        picture.readStored(bad.deferred());
        FAIL() << "no error";
    } catch (const JpegError& error) {
        EXPECT_EQ(error.code(), 53);
    }
}

}  // namespace
}  // namespace velmora::test
