// The fit modes drawn into a rectangle of a canvas: each case samples pixels of the
// result, the picture being four coloured quadrants.

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/picture_fit.h"
#include "tests/platform/rgb_colors.h"

namespace velmora::platform {
namespace {

using namespace test_colors;

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

RgbPixels solid(int width, int height, std::uint32_t colour) {
    RgbPixels picture = blankCanvas(width, height);
    picture.rgb.assign(picture.rgb.size(), colour);
    return picture;
}

// One picture per monitor composed into the virtual screen's picture, as the
// desktops that take one spanned picture show it.
TEST(PictureFit, MonitorsComposeIntoOneSpannedPicture) {
    struct Case {
        const char* what;
        std::vector<PixelRect> monitors;
        int width, height;  // of the composed picture
        std::vector<Sample> samples;
    };
    const Case cases[] = {
        {"side by side", {{0, 0, 100, 50}, {100, 0, 100, 50}}, 200, 50,
         {{0, 0, kRed}, {99, 49, kRed}, {100, 0, kGreen}, {199, 49, kGreen}}},
        {"stacked", {{0, 0, 80, 40}, {0, 40, 80, 40}}, 80, 80, {{40, 39, kRed}, {40, 40, kGreen}}},
        {"mixed resolutions, the smaller one lower", {{0, 0, 160, 90}, {160, 40, 64, 48}}, 224, 90,
         {{159, 89, kRed}, {170, 20, kBlack}, {160, 40, kGreen}, {223, 87, kGreen}, {200, 89, kBlack}}},
        {"a portrait monitor beside a landscape one", {{0, 0, 60, 100}, {60, 30, 100, 60}}, 160, 100,
         {{30, 99, kRed}, {59, 0, kRed}, {100, 10, kBlack}, {61, 31, kGreen}, {159, 89, kGreen}, {100, 95, kBlack}}},
        {"negative offsets: left of and above the primary", {{0, 0, 100, 100}, {-50, -20, 50, 40}}, 150, 120,
         {{0, 0, kGreen}, {49, 39, kGreen}, {0, 40, kBlack}, {50, 20, kRed}, {149, 119, kRed}}},
    };
    for (const Case& c : cases) {
        // Fit keeps each monitor's picture inside its rectangle, whatever the shapes.
        RgbPixels composed =
            composeAreas(c.monitors, {solid(30, 30, kRed), solid(30, 30, kGreen)}, FitMode::Stretch);
        ASSERT_EQ(composed.width, c.width) << c.what;
        ASSERT_EQ(composed.height, c.height) << c.what;
        for (const Sample& s : c.samples)
            EXPECT_EQ(composed.at(s.x, s.y), s.colour) << c.what << " at " << s.x << "," << s.y;
    }
    // A portrait picture fitted into a portrait monitor fills it; into a landscape one it leaves bars.
    RgbPixels composed = composeAreas({{0, 0, 50, 100}, {50, 0, 200, 100}},
                                      {solid(50, 100, kBlue), solid(50, 100, kBlue)}, FitMode::Fit);
    EXPECT_EQ(composed.at(0, 0), kBlue);
    EXPECT_EQ(composed.at(49, 99), kBlue);
    EXPECT_EQ(composed.at(60, 50), kBlack);
    EXPECT_EQ(composed.at(150, 50), kBlue);
    // Monitors too far apart for any picture are refused, not allocated.
    EXPECT_TRUE(composeAreas({{0, 0, 10, 10}, {100000, 100000, 10, 10}}, {solid(1, 1, kRed)}, FitMode::Fill).rgb.empty());
}

}  // namespace
}  // namespace velmora::platform
