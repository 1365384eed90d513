// The two-thread display decoder: the same bitmap alone and split, close to libjpeg's
// own reduced decode on every sampling layout, and streams it must not take left to
// libjpeg.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/error.h"
#include "store/picture/decode_cancel.h"
#include "store/picture/entropy_bit_reader.h"
#include "store/picture/jpeg_picture.h"
#include "store/picture/jpeg_decoder.h"
#include "store/picture/reduced_jpeg_decoder.h"
#include "store/picture/scale_nearest.h"
#include "tests/picture/jpeg_samples.h"
#include "tests/picture/libjpeg_oracle.h"
#include "tests/picture/libjpeg_reference.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

struct Layout {
    std::string name;
    int horizontal = 2;  // luma sampling; chroma is 1 x 1
    int vertical = 2;
    bool grey = false;
    int restartRows = 0;
    int width = 1600;  // sizes that are no whole number of MCUs test the edges
    int height = 1200;
};

Bytes encode(const Bitmap& picture, const Layout& layout) {
    LibjpegCompressor compressor(picture.width(), picture.height(), layout.grey ? 1 : 3,
                                 layout.grey ? JCS_GRAYSCALE : JCS_EXT_BGR);
    jpeg_set_defaults(&compressor.cinfo);
    jpeg_set_quality(&compressor.cinfo, 90, TRUE);
    compressor.cinfo.comp_info[0].h_samp_factor = layout.grey ? 1 : layout.horizontal;
    compressor.cinfo.comp_info[0].v_samp_factor = layout.grey ? 1 : layout.vertical;
    compressor.cinfo.restart_in_rows = layout.restartRows;
    std::vector<std::uint8_t> greyRow(static_cast<std::size_t>(picture.width()));
    return compressor.finish([&](int y) {
        if (!layout.grey) return picture.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) greyRow[static_cast<std::size_t>(x)] = picture.scanLine(y)[3 * x + 1];
        return static_cast<const std::uint8_t*>(greyRow.data());
    });
}


TEST(ReducedDecode, SplitOrAloneItGivesOneBitmapCloseToLibjpegsOnEveryLayout) {
    const std::vector<Layout> layouts = {
        {"4:2:0", 2, 2}, {"4:2:2", 2, 1}, {"4:4:4", 1, 1}, {"grey", 1, 1, true},
        {"4:2:0 with restart markers", 2, 2, false, 3}, {"grey with restart markers", 1, 1, true, 1},
        {"4:2:0 of 1601 x 1203", 2, 2, false, 0, 1601, 1203}, {"4:2:2 of 1203 x 1601", 2, 1, false, 0, 1203, 1601}};
    for (const Layout& layout : layouts) {
        const Bytes jpeg = encode(tools::syntheticBitmap(layout.width, layout.height, 3), layout);
        for (unsigned denominator : {2u, 4u, 8u}) {
            SCOPED_TRACE(layout.name + " at 1/" + std::to_string(denominator));
            Bitmap alone, split;
            ASSERT_TRUE(decodeReducedBaseline(jpeg, denominator, alone, kAlone));
            ASSERT_TRUE(decodeReducedBaseline(jpeg, denominator, split, kSplit));
            EXPECT_TRUE(alone == split);
            const Bitmap reference = libjpegReduced(jpeg, denominator);
            ASSERT_EQ(alone.width(), reference.width());
            ASSERT_EQ(alone.height(), reference.height());
            EXPECT_EQ(alone.format(), reference.format());
            EXPECT_EQ(alone.palette().size(), reference.palette().size());
            EXPECT_LT(meanDifference(alone, reference), 2.0);
        }
    }
}

TEST(ReducedDecode, TheDisplayPathUsesItForLargePicturesAndKeepsLibjpegForTheRest) {
    const Bitmap picture = tools::syntheticBitmap(1600, 1200, 3);
    const Bytes jpeg = encode(picture, {"4:2:0"});
    ASSERT_GE(jpeg.size(), ReducedDecodeOptions{}.minimumBytes);
    Bitmap shown, direct;
    decodeJpegCovering(jpeg, JpegDefaults{}, CoverSize{350, 260}, shown);
    ASSERT_TRUE(decodeReducedBaseline(jpeg, 4, direct));
    EXPECT_TRUE(shown == direct);
    // Drawn at a size straight from the planes: colour the same pixels as the nearest
    // neighbour step from the reduced picture; grey dithered at the size shown.
    Bitmap atSize, reduced;
    decodeJpegAtSize(jpeg, JpegDefaults{}, CoverSize{350, 260}, atSize);
    EXPECT_TRUE(atSize == scaleNearest(direct, 350, 260));
    const Bytes grey = encode(picture, {"grey", 1, 1, true});
    decodeJpegAtSize(grey, JpegDefaults{}, CoverSize{350, 260}, atSize);
    ASSERT_TRUE(decodeReducedBaseline(grey, 4, reduced));
    EXPECT_EQ(atSize.palette(), reduced.palette());
    EXPECT_LT(meanDifference(atSize, scaleNearest(reduced, 350, 260)), 2.0);

    // Streams it turns down, whatever their size: each is decoded by libjpeg as before.
    Bytes truncated(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() * 6 / 10));
    Bytes cutInTheMiddle = jpeg;  // an end-of-image marker halfway through the data
    cutInTheMiddle[jpeg.size() / 2] = 0xFF;
    cutInTheMiddle[jpeg.size() / 2 + 1] = 0xD9;
    Bytes badCode = jpeg;  // 64 one bits: somewhere in them a code starts, and none is all ones
    for (std::size_t i = jpeg.size() / 3; i < jpeg.size() / 3 + 16; i += 2) {
        badCode[i] = 0xFF;
        badCode[i + 1] = 0x00;
    }
    SampleStream progressiveSample{64, 48, SampleSpace::Rgb, true, [](int x, int y) {
                                       return std::vector<std::uint8_t>{std::uint8_t(x * 4), std::uint8_t(y * 5), 90};
                                   }};
    SampleStream cmykSample = progressiveSample;
    cmykSample.progressive = false;
    cmykSample.space = SampleSpace::Cmyk;
    cmykSample.pixel = [](int x, int y) { return std::vector<std::uint8_t>{std::uint8_t(x), std::uint8_t(y), 30, 40}; };
    const std::vector<std::pair<std::string, Bytes>> refused = {
        {"cut off", truncated}, {"ended early", cutInTheMiddle}, {"no such code", badCode},
        {"progressive", libjpegEncode(progressiveSample)}, {"CMYK", libjpegEncode(cmykSample)}, {"empty", Bytes{}}};
    for (const auto& [name, stream] : refused) {
        SCOPED_TRACE(name);
        for (const ReducedDecodeOptions& options : {kAlone, kSplit}) {
            Bitmap untouched;
            EXPECT_FALSE(decodeReducedBaseline(stream, 4, untouched, options));
            EXPECT_TRUE(untouched.empty());
        }
    }
    Bitmap small;
    EXPECT_FALSE(decodeReducedBaseline(encode(tools::syntheticBitmap(200, 150, 1), {"4:2:0"}), 4, small));
    // Restart markers out of turn: libjpeg resynchronises as it always has.
    const Bytes restarting = encode(picture, {"4:2:0 with restart markers", 2, 2, false, 1});
    Bytes outOfTurn = restarting;
    const std::size_t marker = markerOffset(Bytes(restarting.begin() + static_cast<std::ptrdiff_t>(restarting.size() / 2),
                                                  restarting.end()), 0xD3) + restarting.size() / 2;
    ASSERT_LT(marker, restarting.size());
    outOfTurn[marker + 1] = 0xD5;
    for (const ReducedDecodeOptions& options : {kAlone, kSplit}) EXPECT_FALSE(decodeReducedBaseline(outOfTurn, 4, small, options));
    // A Huffman table with more codes than its lengths hold: libjpeg's own error, as before.
    Bytes bogusTable = jpeg;
    const std::size_t table = markerOffset(jpeg, 0xC4);
    bogusTable[table + 5] = 0x03;  // three codes of one bit
    EXPECT_FALSE(decodeReducedBaseline(bogusTable, 4, small, kAlone));
    Bitmap failed;
    EXPECT_THROW(decodeJpegCovering(bogusTable, JpegDefaults{}, CoverSize{350, 260}, failed), JpegError);
    // A cut-off stream still shows what it has, as libjpeg always showed it.
    Bitmap partial;
    decodeJpegCovering(truncated, JpegDefaults{}, CoverSize{350, 260}, partial);
    EXPECT_EQ(partial.width(), 400);
    EXPECT_EQ(partial.height(), 300);
}

// A decode given up stops on every path (split at a guess, split at a restart marker,
// libjpeg) and leaves the picture as if it had never been asked.
TEST(ReducedDecode, ACancelledDecodeStopsOnEveryPathAndLeavesNothingHalfMade) {
    const Bitmap picture = tools::syntheticBitmap(1600, 1200, 3);
    const Bytes streams[] = {encode(picture, {"4:2:0"}), encode(picture, {"4:2:0 with restart markers", 2, 2, false, 3}),
                             encode(tools::syntheticBitmap(200, 150, 1), {"4:2:0"})};
    std::atomic<bool> cancel = true;
    for (const Bytes& stream : streams) {
        JpegPicture shown;
        shown.loadData(shareBytes(stream));
        {
            DecodeCancelScope scope(cancel);
            Bitmap target;
            EXPECT_THROW(decodeJpegAtSize(stream, JpegDefaults{}, CoverSize{350, 260}, target), DecodeCancelled);
            EXPECT_THROW(shown.displayBitmap(350, 260), DecodeCancelled);
            EXPECT_THROW(shown.bitmap(), DecodeCancelled);
        }
        EXPECT_FALSE(shown.hasBitmap() || shown.hasDisplayBitmap() || shown.decodeFailed());
        EXPECT_EQ(shown.displayBitmap(350, 260).width(), 350);
    }
}

TEST(EntropyBitReader, StuffingRestartMarkersAndChunkEdgesReadAsTheBareBytes) {
    // Bare bytes with every 0xFF stuffed, restart markers at chosen places (two right
    // at the reader's 16 KiB chunk edges), then a fill byte and the end of the image.
    const std::vector<std::size_t> markersAt = {100, 16384, 20000, 32768, 40001};
    std::vector<std::uint8_t> bare;
    Bytes raw;
    for (std::size_t i = 0, marker = 0; i < 50000; ++i) {
        if (marker < markersAt.size() && markersAt[marker] == i) {
            raw.insert(raw.end(), {0xFF, static_cast<std::uint8_t>(0xD0 + marker % 8)});
            ++marker;
        }
        const auto byte = static_cast<std::uint8_t>(i * 7 % 256);
        bare.push_back(byte);
        raw.push_back(byte);
        if (byte == 0xFF) raw.push_back(0x00);
    }
    raw.insert(raw.end(), {0xFF, 0xFF, 0xD9});

    ScanChunks chunks(raw, 0);
    EntropyBitReader reader(chunks);
    std::size_t marker = 0;
    for (std::size_t i = 0; i < bare.size(); ++i) {
        if (marker < markersAt.size() && markersAt[marker] == i) {
            ASSERT_TRUE(reader.passRestart(marker, 0)) << "marker " << marker;
            ++marker;
        }
        if (reader.count() < 32) reader.refill();
        ASSERT_EQ(reader.take(8), bare[i]) << "byte " << i;
    }
    EXPECT_FALSE(reader.overran());
    EXPECT_FALSE(reader.passRestart(marker, 0));  // no marker was left
    reader.refill();
    EXPECT_EQ(reader.take(16), 0u);  // past the end: zeros, and it says so
    EXPECT_TRUE(reader.overran());
}

}  // namespace
}  // namespace velmora::test
