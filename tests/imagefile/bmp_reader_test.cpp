#include <gtest/gtest.h>

#include <chrono>

#include "base/error.h"
#include "store/imagefile/bmp_reader.h"
#include "tests/imagefile/bmp_builder.h"
#include "tests/support/temp_dir.h"

namespace velmora {
namespace {

using test::BmpLayout;
using test::buildBmp;
using test::packRows;
using test::rgbRows;
using Rows = std::vector<std::vector<std::uint32_t>>;

const Rows kPicture = {{0xFF0000, 0x00FF00, 0x0000FF}, {0x123456, 0xFFFFFF, 0x808080}};

std::string readError(const Bytes& file) {
    try {
        readBmp(file);
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

Bytes bmp24(const Rows& rows, bool topDown = false) {
    BmpLayout layout;
    layout.width = static_cast<std::int32_t>(rows[0].size());
    layout.height = static_cast<std::int32_t>(rows.size()) * (topDown ? -1 : 1);
    layout.pixels = packRows(rows, 24, topDown);
    return buildBmp(layout);
}

TEST(BmpReaderDamage, ZeroBytesGiveAnEmptyBitmap) {
    EXPECT_TRUE(readBmp(Bytes{}).empty());
}

TEST(BmpReaderDamage, EndInsideAHeaderOrTableIsAStreamReadError) {
    const Bytes whole = bmp24(kPicture);
    EXPECT_EQ(readError(Bytes(whole.begin(), whole.begin() + 10)), "Stream read error");
    EXPECT_EQ(readError(Bytes(whole.begin(), whole.begin() + 30)), "Stream read error");

    BmpLayout palette;
    palette.bitsPerPixel = 8;
    palette.colours = {0x000000, 0xFFFFFF};  // 256 entries expected
    EXPECT_EQ(readError(buildBmp(palette)), "Stream read error");

    BmpLayout masks;
    masks.bitsPerPixel = 32;
    masks.compression = 3;
    masks.masks = {0xFF0000, 0xFF00};  // one mask short, and no pixels
    EXPECT_EQ(readError(buildBmp(masks)), "Stream read error");

    Bytes hugeHeader = whole;
    hugeHeader[17] = 0xFF;  // info header length 0xFF000028
    EXPECT_EQ(readError(hugeHeader), "Stream read error");
}

TEST(BmpReaderDamage, HeadersThatDescribeNoPictureAreNotValid) {
    Bytes notBm = bmp24(kPicture);
    notBm[0] = 'M';
    EXPECT_EQ(readError(notBm), "Bitmap image is not valid");

    auto invalid = [](auto change) {
        BmpLayout layout;
        layout.pixels = Bytes(4, 0);
        change(layout);
        return readError(buildBmp(layout));
    };
    EXPECT_EQ(invalid([](BmpLayout& s) { s.planes = 2; }), "Bitmap image is not valid");
    EXPECT_EQ(invalid([](BmpLayout& s) { s.bitsPerPixel = 7; }), "Bitmap image is not valid");
    EXPECT_EQ(invalid([](BmpLayout& s) { s.compression = 1; }), "Bitmap image is not valid");  // RLE8 at 24 bits
    EXPECT_EQ(invalid([](BmpLayout& s) { s.compression = 4; }), "Bitmap image is not valid");  // embedded JPEG
    EXPECT_EQ(invalid([](BmpLayout& s) { s.width = 0; }), "Bitmap image is not valid");
    EXPECT_EQ(invalid([](BmpLayout& s) { s.width = -3; }), "Bitmap image is not valid");
    EXPECT_EQ(invalid([](BmpLayout& s) { s.headerLength = 8; }), "Bitmap image is not valid");  // planes missing
}

TEST(BmpReaderDamage, AnAbsurdSizeIsRefusedBeforeAllocating) {
    const auto started = std::chrono::steady_clock::now();
    for (auto [width, height] : {std::pair{0x7FFFFFFF, 0x7FFFFFFF}, {0x10000, -0x10000}, {16385, 16384}}) {
        BmpLayout layout;
        layout.width = width;
        layout.height = height;
        EXPECT_EQ(readError(buildBmp(layout)), "Bitmap image is not valid") << width << " x " << height;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
}

TEST(BmpReaderDamage, ABitmapOverTheBudgetIsMadeOnlyWhenItsDataCanFillIt) {
    auto file = [](std::int32_t side, std::uint16_t bpp, std::uint32_t compression, Bytes pixels) {
        BmpLayout layout;
        layout.width = layout.height = side;
        layout.bitsPerPixel = bpp;
        layout.compression = compression;
        layout.coloursUsed = 2;
        layout.colours = {0, 0xFFFFFF};
        layout.pixels = std::move(pixels);
        return buildBmp(layout);
    };
    // 30 bytes of the longest runs; 9480 x 9480 is 257 MiB of bitmap, in 1-bit rows of 1188 bytes.
    Bytes runs;
    for (int i = 0; i < 15; ++i) runs.insert(runs.end(), {255, 1});
    const Bytes rows(1188 * 9480 - 3, 0xFF);  // the last row's padding left off
    const auto started = std::chrono::steady_clock::now();
    for (const Bytes& claim : {file(16384, 8, 1, runs), file(16384, 4, 2, runs), file(16384, 24, 0, runs),
                               file(9480, 1, 0, Bytes(rows.begin(), rows.end() - 1))})
        EXPECT_EQ(readError(claim), "Bitmap image is not valid");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    EXPECT_EQ(test::rgbAt(readBmp(file(9480, 1, 0, rows)), 9479, 0), 0xFFFFFFu);
}

TEST(BmpReaderDamage, PixelsCutShortLeaveTheMissingRowsBlack) {
    const Rows rows = {{0x111111, 0x222222}, {0x333333, 0x444444}, {0x555555, 0x666666}};
    Bytes file = bmp24(rows);
    file.resize(file.size() - 8 - 3);  // the top row and one pixel of the middle row lost
    const Bitmap bitmap = readBmp(file);
    EXPECT_EQ(rgbRows(bitmap), (Rows{{0, 0}, {0x333333, 0}, {0x555555, 0x666666}}));

    // Read from disk, the rows go straight into the bitmap: the same picture.
    test::TempDir dir;
    test::writeFile(dir.file("cut.bmp"), std::string(file.begin(), file.end()));
    EXPECT_EQ(readBmpFile(dir.file("cut.bmp")), bitmap);
}

TEST(BmpReaderLayout, BottomUpAndTopDownRowsGiveTheSamePicture) {
    EXPECT_EQ(rgbRows(readBmp(bmp24(kPicture))), kPicture);
    EXPECT_EQ(rgbRows(readBmp(bmp24(kPicture, true))), kPicture);
}

TEST(BmpReaderLayout, PixelsStartAfterTheTableOrWhereTheFileHeaderPointsFurther) {
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.gapBeforePixels = 6;
    layout.pixels = packRows(kPicture, 24);
    EXPECT_EQ(rgbRows(readBmp(buildBmp(layout))), kPicture);
}

TEST(BmpReaderLayout, HeadersOfOtherLengthsAreReadWhole) {
    for (std::uint32_t length : {16u, 64u, 108u, 124u}) {
        BmpLayout layout;
        layout.headerLength = length;
        layout.width = 2;
        layout.height = 1;
        layout.bitsPerPixel = length == 16 ? 24 : 8;
        if (length != 16) {
            layout.coloursUsed = 2;
            layout.colours = {0xABCDEF, 0x010203};
        }
        layout.pixels = length == 16 ? packRows({{0xABCDEF, 0x010203}}, 24) : packRows({{0, 1}}, 8);
        EXPECT_EQ(rgbRows(readBmp(buildBmp(layout))), (Rows{{0xABCDEF, 0x010203}})) << length;
    }
}

TEST(BmpReaderPalette, IndexedDepthsLookUpTheirColourTables) {
    const std::vector<std::uint32_t> colours = {0x000000, 0xFF8000, 0x00FF80, 0x8000FF};
    const Rows indices = {{1, 2, 3, 0, 1}, {3, 3, 2, 2, 1}};
    const Rows expected = {{0xFF8000, 0x00FF80, 0x8000FF, 0x000000, 0xFF8000},
                           {0x8000FF, 0x8000FF, 0x00FF80, 0x00FF80, 0xFF8000}};
    for (std::uint16_t bpp : {4, 8}) {
        BmpLayout layout;
        layout.width = 5;
        layout.height = 2;
        layout.bitsPerPixel = bpp;
        layout.coloursUsed = 4;
        layout.colours = colours;
        layout.pixels = packRows(indices, bpp);
        EXPECT_EQ(rgbRows(readBmp(buildBmp(layout))), expected) << bpp;
    }
    // Core header: 3-byte entries, always 2^bpp of them.
    BmpLayout core;
    core.headerLength = 12;
    core.width = 3;
    core.bitsPerPixel = 1;
    core.colours = {0x102030, 0xF0E0D0};
    core.pixels = packRows({{1, 0, 1}}, 1);
    EXPECT_EQ(rgbRows(readBmp(buildBmp(core))), (Rows{{0xF0E0D0, 0x102030, 0xF0E0D0}}));
}

TEST(BmpReaderPalette, IndicesBeyondTheTableAreBlack) {
    BmpLayout layout;
    layout.width = 2;
    layout.bitsPerPixel = 8;
    layout.coloursUsed = 1;
    layout.colours = {0xFFFFFF};
    layout.pixels = packRows({{0, 200}}, 8);
    EXPECT_EQ(rgbRows(readBmp(buildBmp(layout))), (Rows{{0xFFFFFF, 0x000000}}));
}

TEST(BmpReaderMasks, SixteenAndThirtyTwoBitPixelsFollowTheirMasks) {
    BmpLayout rgb555;
    rgb555.width = 2;
    rgb555.bitsPerPixel = 16;
    rgb555.pixels = packRows({{0x7C00, 0x03FF}}, 16);
    EXPECT_EQ(rgbRows(readBmp(buildBmp(rgb555))), (Rows{{0xFF0000, 0x00FFFF}}));

    BmpLayout rgb565 = rgb555;
    rgb565.compression = 3;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.pixels = packRows({{0xF800, 0x0400}}, 16);  // red; green 32 of 63
    EXPECT_EQ(rgbRows(readBmp(buildBmp(rgb565))), (Rows{{0xFF0000, 0x008200}}));

    // 32 bits with masks after a 40-byte header and inside a V4 header.
    for (std::uint32_t length : {40u, 108u}) {
        BmpLayout layout;
        layout.headerLength = length;
        layout.width = 2;
        layout.bitsPerPixel = 32;
        layout.compression = 3;
        layout.masks = {0x0000FF00, 0x00FF0000, 0xFF000000};  // red, green, blue high to low
        layout.pixels = packRows({{0x12345678, 0xFF000000}}, 32);
        EXPECT_EQ(rgbRows(readBmp(buildBmp(layout))), (Rows{{0x563412, 0x0000FF}})) << length;
    }
}

class RunLengthTest : public ::testing::Test {
protected:
    static Bytes rle(std::uint16_t bpp, int width, int height, const Bytes& data) {
        BmpLayout layout;
        layout.width = width;
        layout.height = height;
        layout.bitsPerPixel = bpp;
        layout.compression = bpp == 8 ? 1 : 2;
        layout.coloursUsed = 4;
        layout.colours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
        layout.imageSize = static_cast<std::uint32_t>(data.size());
        layout.pixels = data;
        return buildBmp(layout);
    }
};

TEST_F(RunLengthTest, Rle8RunsLiteralsMovesAndEnds) {
    const Bytes data = {3, 1,           // three of colour 1
                        0, 3, 2, 3, 1, 0,  // literal 2, 3, 1 (padded)
                        0, 0,           // end of line
                        0, 2, 2, 1,     // move right 2, up 1: skips the rest of row 1
                        2, 3,           // row 2, columns 2..3
                        0, 1,           // end of bitmap
                        9, 2};          // never read
    const Rows expected = {{0, 0, 3, 3, 0, 0}, {0, 0, 0, 0, 0, 0}, {1, 1, 1, 2, 3, 1}};
    Rows colours = expected;
    const std::uint32_t lookup[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    for (auto& row : colours) {
        for (auto& v : row) v = lookup[v];
    }
    EXPECT_EQ(rgbRows(readBmp(rle(8, 6, 3, data))), colours);
}

TEST_F(RunLengthTest, Rle4AlternatesNibblesAndClipsAtTheEdge) {
    const Bytes data = {5, 0x12,        // 1 2 1 2 1
                        0, 0,
                        0, 3, 0x32, 0x10,  // literal 3 2 1 (2 bytes, already even)
                        9, 0x33};       // runs past the edge: clipped
    EXPECT_EQ(rgbRows(readBmp(rle(4, 4, 2, data))),
              (Rows{{0x0000FF, 0x00FF00, 0xFF0000, 0x0000FF}, {0xFF0000, 0x00FF00, 0xFF0000, 0x00FF00}}));
}

TEST_F(RunLengthTest, DataEndingEarlyLeavesTheRestBlack) {
    EXPECT_EQ(rgbRows(readBmp(rle(8, 2, 2, {2, 1, 0, 5, 1}))), (Rows{{0, 0}, {0xFF0000, 0xFF0000}}));
}

}  // namespace
}  // namespace velmora
