// The fit modes drawn into a rectangle of a canvas: each case samples pixels of the
// result, the picture being four coloured quadrants.

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/picture_fit.h"

namespace velmora::platform {
namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0;

RgbPixels quadrants(int width, int height) {
    RgbPixels picture = blankCanvas(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.rgb[static_cast<std::size_t>(y) * width + x] =
                y < height / 2 ? (x < width / 2 ? kRed : kGreen) : (x < width / 2 ? kBlue : kWhite);
    return picture;
}

struct Sample {
    int x, y;
    std::uint32_t colour;
};

TEST(PictureFit, EachModeLandsWhereTheDesktopsPutIt) {
    struct Case {
        const char* what;
        FitMode mode;
        int pictureWidth, pictureHeight;
        PixelRect area;
        std::vector<Sample> samples;
    };
    const Case cases[] = {
        {"fill cuts the top and bottom off", FitMode::Fill, 40, 40, {0, 0, 200, 100},
         {{0, 0, kRed}, {199, 0, kGreen}, {0, 99, kBlue}, {199, 99, kWhite}}},
        {"fit leaves bars beside", FitMode::Fit, 40, 40, {0, 0, 200, 100},
         {{10, 50, kBlack}, {190, 50, kBlack}, {51, 1, kRed}, {148, 98, kWhite}}},
        {"stretch takes the area's shape", FitMode::Stretch, 40, 40, {0, 0, 200, 100},
         {{0, 0, kRed}, {199, 0, kGreen}, {0, 99, kBlue}, {199, 99, kWhite}, {99, 49, kRed}, {100, 50, kWhite}}},
        {"center keeps its own size", FitMode::Center, 40, 40, {0, 0, 200, 100},
         {{79, 50, kBlack}, {81, 31, kRed}, {118, 68, kWhite}, {120, 50, kBlack}}},
        {"center of a larger picture cuts every side", FitMode::Center, 400, 400, {0, 0, 200, 100},
         {{0, 0, kRed}, {199, 99, kWhite}}},
        {"tile repeats from the top left", FitMode::Tile, 40, 40, {0, 0, 200, 100},
         {{0, 0, kRed}, {39, 39, kWhite}, {40, 0, kRed}, {60, 0, kGreen}, {45, 65, kBlue}}},
        {"an area to the right of another", FitMode::Fill, 40, 40, {100, 0, 100, 100},
         {{0, 0, kBlack}, {99, 99, kBlack}, {100, 0, kRed}, {199, 99, kWhite}}},
        {"an area below, portrait", FitMode::Fit, 40, 20, {50, 20, 50, 80},
         {{49, 50, kBlack}, {55, 50, kRed}, {95, 70, kWhite}, {75, 40, kBlack}}},
        {"an area partly off the canvas", FitMode::Fill, 40, 40, {-50, 0, 100, 100},
         {{0, 0, kGreen}, {49, 99, kWhite}, {50, 0, kBlack}}},
    };
    for (const Case& c : cases) {
        RgbPixels canvas = blankCanvas(200, 100);
        drawFitted(quadrants(c.pictureWidth, c.pictureHeight), c.mode, c.area, canvas);
        for (const Sample& s : c.samples)
            EXPECT_EQ(canvas.at(s.x, s.y), s.colour) << c.what << " at " << s.x << "," << s.y;
    }
}

}  // namespace
}  // namespace velmora::platform
