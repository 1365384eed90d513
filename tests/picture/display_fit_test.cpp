// Where a picture is drawn in its display area, and nearest-neighbour drawing.

#include <gtest/gtest.h>

#include "store/picture/display_fit.h"
#include "store/picture/scale_nearest.h"

namespace velmora {
namespace {

constexpr FitFlags kMainWindow{false, true, true};

TEST(DisplayFit, MainWindowShrinksLargePicturesProportionallyAndCentres) {
    EXPECT_EQ(displayFit(1024, 768, 545, 401, kMainWindow), (FitRect{5, 0, 534, 401}));
    EXPECT_EQ(displayFit(1920, 1080, 545, 401, kMainWindow), (FitRect{0, 47, 545, 306}));
    EXPECT_EQ(displayFit(800, 800, 545, 401, kMainWindow), (FitRect{72, 0, 401, 401}));
    EXPECT_EQ(displayFit(2000, 100, 545, 401, kMainWindow), (FitRect{0, 187, 545, 27}));
    EXPECT_EQ(displayFit(100, 2000, 545, 401, kMainWindow), (FitRect{262, 0, 20, 401}));
}

TEST(DisplayFit, PicturesThatFitAreDrawnAtTheirOwnSize) {
    EXPECT_EQ(displayFit(300, 200, 545, 401, kMainWindow), (FitRect{122, 100, 300, 200}));
    EXPECT_EQ(displayFit(545, 401, 545, 401, kMainWindow), (FitRect{0, 0, 545, 401}));
    // One side too large is enough to shrink.
    EXPECT_EQ(displayFit(546, 10, 545, 401, kMainWindow), (FitRect{0, 196, 545, 9}));
}

TEST(DisplayFit, CentringTruncatesTowardZero) {
    // The viewer's area takes the picture's size; a larger picture overhangs.
    EXPECT_EQ(displayFit(600, 500, 545, 401, FitFlags{false, false, true}), (FitRect{-27, -49, 600, 500}));
    EXPECT_EQ(displayFit(300, 200, 545, 401, FitFlags{}), (FitRect{0, 0, 300, 200}));
}

TEST(DisplayFit, StretchFillsTheAreaUnlessProportional) {
    EXPECT_EQ(displayFit(10, 10, 545, 401, FitFlags{true, false, false}), (FitRect{0, 0, 545, 401}));
    EXPECT_EQ(displayFit(10, 10, 545, 401, FitFlags{true, true, true}), (FitRect{72, 0, 401, 401}));
    // Without a size there is no ratio: the area is filled.
    EXPECT_EQ(displayFit(0, 0, 545, 401, FitFlags{true, true, false}), (FitRect{0, 0, 545, 401}));
}

Bitmap numberedRow(int width) {
    Bitmap bitmap(width, 1, Bitmap::Format::Indexed8);
    for (int x = 0; x < width; ++x) {
        bitmap.scanLine(0)[x] = static_cast<std::uint8_t>(x);
    }
    return bitmap;
}

TEST(ScaleNearest, DropsAndRepeatsColumnsWithoutBlending) {
    const Bitmap shrunk = scaleNearest(numberedRow(8), 4, 1);
    EXPECT_EQ((std::vector<int>{shrunk.scanLine(0)[0], shrunk.scanLine(0)[1], shrunk.scanLine(0)[2],
                                shrunk.scanLine(0)[3]}),
              (std::vector<int>{1, 3, 5, 7}));
    const Bitmap grown = scaleNearest(numberedRow(2), 5, 3);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ((std::vector<int>{grown.scanLine(y)[0], grown.scanLine(y)[1], grown.scanLine(y)[2],
                                    grown.scanLine(y)[3], grown.scanLine(y)[4]}),
                  (std::vector<int>{0, 0, 1, 1, 1}));
    }
}

TEST(ScaleNearest, KeepsFormatPaletteAndPixelBytes) {
    Bitmap source(3, 2, Bitmap::Format::Bgr24);
    for (int y = 0; y < 2; ++y) {
        for (int i = 0; i < 9; ++i) {
            source.scanLine(y)[i] = static_cast<std::uint8_t>(10 * y + i);
        }
    }
    const Bitmap same = scaleNearest(source, 3, 2);
    EXPECT_EQ(same, source);

    const Bitmap wide = scaleNearest(source, 6, 1);
    EXPECT_EQ(wide.bytesPerLine(), 20u);
    const std::uint8_t expected[18] = {10, 11, 12, 10, 11, 12, 13, 14, 15, 13, 14, 15, 16, 17, 18, 16, 17, 18};
    EXPECT_TRUE(std::equal(expected, expected + 18, wide.scanLine(0)));

    Bitmap indexed = numberedRow(4);
    indexed.setPalette({{1, 2, 3}, {4, 5, 6}});
    EXPECT_EQ(scaleNearest(indexed, 2, 2).palette(), indexed.palette());
    EXPECT_TRUE(scaleNearest(indexed, 0, 2).empty());
    EXPECT_TRUE(scaleNearest(Bitmap(), 5, 5).empty());
}

}  // namespace
}  // namespace velmora
