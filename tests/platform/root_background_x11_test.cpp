// The X root window's background on a real X server (Xvfb): the pixmap named by
// _XROOTPMAP_ID read back and its pixels compared with the picture; and the BMP
// reading and scaling behind it.

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <tuple>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/bmp_pixels.h"
#include "platform/monitors_linux.h"
#include "platform/process_runner.h"
#include "platform/root_background_x11.h"
#include "store/imagefile/bmp_writer.h"
#include "store/picture/bitmap.h"
#include "tests/platform/rgb_colors.h"
#include "tests/support/session_bus.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xvfb_server.h"

namespace velmora::platform {
namespace {

using namespace test_colors;

// Four quadrants: red and green above, blue and white below (or the palette's first
// four colours in an 8-bit picture).
Bitmap quadrants(int width, int height, Bitmap::Format format) {
    Bitmap bitmap(width, height, format);
    const std::uint32_t colours[] = {kRed, kGreen, kBlue, kWhite};
    if (format == Bitmap::Format::Indexed8)
        bitmap.setPalette({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int quadrant = (y >= height / 2) * 2 + (x >= width / 2);
            std::uint8_t* pixel = bitmap.scanLine(y) + x * (bitmap.bitsPerPixel() / 8);
            if (format == Bitmap::Format::Indexed8) {
                pixel[0] = static_cast<std::uint8_t>(quadrant);
            } else {
                for (int c = 0; c < 3; ++c) pixel[c] = static_cast<std::uint8_t>(colours[quadrant] >> (8 * c));
            }
        }
    }
    return bitmap;
}

std::string bmpFile(const test::TempDir& dir, const std::string& name, const Bitmap& bitmap) {
    const Bytes bytes = encodeBmp(bitmap);
    test::writeFile(dir.file(name), std::string(bytes.begin(), bytes.end()));
    return dir.file(name);
}

// The colour at the centre of each quadrant of a width x height area.
template <typename Sample>
void expectQuadrants(int width, int height, Sample sample, const std::string& what) {
    EXPECT_EQ(sample(width / 4, height / 4), kRed) << what;
    EXPECT_EQ(sample(width * 3 / 4, height / 4), kGreen) << what;
    EXPECT_EQ(sample(width / 4, height * 3 / 4), kBlue) << what;
    EXPECT_EQ(sample(width * 3 / 4, height * 3 / 4), kWhite) << what;
}

TEST(BmpPixels, WallpaperBitmapsReadBackAndCoverTheScreen) {
    test::TempDir dir;
    const std::string wide = bmpFile(dir, "wide.bmp", quadrants(64, 48, Bitmap::Format::Bgr24));
    const std::string odd = bmpFile(dir, "odd.bmp", quadrants(33, 7, Bitmap::Format::Bgr24));
    const std::string indexed = bmpFile(dir, "indexed.bmp", quadrants(10, 6, Bitmap::Format::Indexed8));
    for (const auto& [file, width, height] : {std::tuple{wide, 64, 48}, {odd, 33, 7}, {indexed, 10, 6}}) {
        std::optional<RgbPixels> picture = readBmpPixels(file);
        ASSERT_TRUE(picture) << file;
        EXPECT_EQ(picture->width, width);
        EXPECT_EQ(picture->height, height);
        expectQuadrants(width, height, [&](int x, int y) { return picture->at(x, y); }, file);
    }

    // Top-down rows (a negative height) are read as such.
    std::string bytes = test::readFile(wide);
    std::string flipped = bytes.substr(0, 54);
    for (int row = 47; row >= 0; --row) flipped += bytes.substr(54 + row * 64 * 3, 64 * 3);
    const std::int32_t negative = -48;
    flipped.replace(22, 4, reinterpret_cast<const char*>(&negative), 4);
    test::writeFile(dir.file("topdown.bmp"), flipped);
    std::optional<RgbPixels> topDown = readBmpPixels(dir.file("topdown.bmp"));
    ASSERT_TRUE(topDown);
    expectQuadrants(64, 48, [&](int x, int y) { return topDown->at(x, y); }, "top-down");

    test::writeFile(dir.file("short.bmp"), bytes.substr(0, bytes.size() - 1));
    test::writeFile(dir.file("text.bmp"), "not a picture at all, not even close to one, no no no no no no");
    EXPECT_FALSE(readBmpPixels(dir.file("short.bmp")));
    EXPECT_FALSE(readBmpPixels(dir.file("text.bmp")));
    EXPECT_FALSE(readBmpPixels(dir.file("missing.bmp")));

    // A tall picture on a wide screen: as wide as the screen, its middle shown.
    RgbPixels tall = *readBmpPixels(bmpFile(dir, "tall.bmp", quadrants(40, 60, Bitmap::Format::Bgr24)));
    RgbPixels screen = scaleToCover(tall, 640, 480);
    ASSERT_EQ(screen.rgb.size(), 640u * 480u);
    expectQuadrants(640, 480, [&](int x, int y) { return screen.at(x, y); }, "covered");
    EXPECT_EQ(screen.at(0, 0), kRed);
    EXPECT_EQ(screen.at(639, 479), kWhite);
}

class RootWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!programOnPath("Xvfb")) GTEST_SKIP() << "Xvfb missing";
        startServer({});
    }
    void TearDown() override {
        if (connection_) xcb_disconnect(connection_);
    }
    // A new server (with these arguments), this test's connection to it and $DISPLAY naming it.
    void startServer(const std::vector<std::string>& arguments) {
        TearDown();
        display_.reset();
        server_ = std::make_unique<test::XvfbServer>(arguments);
        display_ = std::make_unique<test::ScopedEnvironment>("DISPLAY", server_->display());
        connection_ = xcb_connect(nullptr, nullptr);
        ASSERT_EQ(xcb_connection_has_error(connection_), 0);
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }

    std::optional<xcb_pixmap_t> pixmapNamed(const char* name) {
        auto* atom = xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 1, std::strlen(name), name),
                                           nullptr);
        std::optional<xcb_pixmap_t> pixmap;
        if (atom && atom->atom != XCB_ATOM_NONE) {
            auto* property = xcb_get_property_reply(
                connection_, xcb_get_property(connection_, 0, root_, atom->atom, XCB_ATOM_PIXMAP, 0, 1), nullptr);
            if (property && property->value_len == 1)
                pixmap = *static_cast<xcb_pixmap_t*>(xcb_get_property_value(property));
            std::free(property);
        }
        std::free(atom);
        return pixmap;
    }

    // The 24-bit colour of one pixel of a drawable (the server's 32-bit pixels).
    std::uint32_t pixel(xcb_drawable_t drawable, int x, int y) {
        auto* image = xcb_get_image_reply(
            connection_,
            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, static_cast<std::int16_t>(x),
                          static_cast<std::int16_t>(y), 1, 1, ~0u),
            nullptr);
        std::uint32_t value = 0xDEADBEEF;
        if (image && xcb_get_image_data_length(image) >= 4) {
            std::memcpy(&value, xcb_get_image_data(image), 4);
            value &= 0xFFFFFF;
        }
        std::free(image);
        return value;
    }

    bool pixmapExists(xcb_pixmap_t pixmap) {
        xcb_generic_error_t* error = nullptr;
        auto* geometry = xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, pixmap), &error);
        std::free(error);
        std::free(geometry);
        return geometry != nullptr;
    }

    std::unique_ptr<test::XvfbServer> server_;
    std::unique_ptr<test::ScopedEnvironment> display_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    test::TempDir dir_;
};

TEST_F(RootWindow, PictureCoversTheScreenInAPixmapThatOutlivesTheSetter) {
    const auto limit = std::chrono::seconds(10);
    ASSERT_TRUE(setRootBackground(bmpFile(dir_, "first.bmp", quadrants(64, 48, Bitmap::Format::Bgr24)), limit));
    std::optional<xcb_pixmap_t> first = pixmapNamed("_XROOTPMAP_ID");
    ASSERT_TRUE(first);
    EXPECT_EQ(pixmapNamed("ESETROOT_PMAP_ID"), first);
    expectQuadrants(640, 480, [&](int x, int y) { return pixel(*first, x, y); }, "pixmap");
    expectQuadrants(640, 480, [&](int x, int y) { return pixel(root_, x, y); }, "root window");

    // The next picture replaces the first, whose pixmap is freed with its setter.
    ASSERT_TRUE(setRootBackground(bmpFile(dir_, "second.bmp", quadrants(30, 20, Bitmap::Format::Indexed8)), limit));
    std::optional<xcb_pixmap_t> second = pixmapNamed("_XROOTPMAP_ID");
    ASSERT_TRUE(second);
    EXPECT_EQ(pixmapNamed("ESETROOT_PMAP_ID"), second);
    EXPECT_TRUE(pixmapExists(*second));
    EXPECT_NE(*second, *first);  // this test's own connection keeps the setters' ids apart
    EXPECT_FALSE(pixmapExists(*first));
    expectQuadrants(640, 480, [&](int x, int y) { return pixel(root_, x, y); }, "second picture");

    EXPECT_FALSE(setRootBackground(dir_.file("missing.bmp"), limit));
    test::ScopedEnvironment noDisplay("DISPLAY", std::nullopt);
    EXPECT_FALSE(setRootBackground(dir_.file("first.bmp"), limit));
}

}  // namespace
}  // namespace velmora::platform

namespace velmora::platform {
namespace {

TEST_F(RootWindow, TwoRandrMonitorsOnePortraitGetAPictureEach) {
    if (!programOnPath("xrandr")) GTEST_SKIP() << "xrandr missing";
    const auto limit = std::chrono::seconds(10);
    ASSERT_TRUE(runProgram({"xrandr", "--setmonitor", "PORTRAIT", "300/1x480/1+0+0", "none"}, limit));
    ASSERT_TRUE(runProgram({"xrandr", "--setmonitor", "WIDE", "340/1x200/1+300+100", "none"}, limit));
    std::optional<std::string> listing = captureProgram({"xrandr", "--listactivemonitors"}, limit);
    ASSERT_TRUE(listing);
    // Xvfb's own output is a monitor too; these two are the test's.
    std::vector<PixelRect> areas;
    for (const char* name : {"PORTRAIT", "WIDE"})
        for (const Monitor& monitor : parseRandrMonitors(*listing))
            if (monitor.name == name) areas.push_back(monitor.rect);
    ASSERT_EQ(areas.size(), 2u) << *listing;
    ASSERT_EQ(areas[0], (PixelRect{0, 0, 300, 480}));
    const std::string tall = bmpFile(dir_, "tall.bmp", quadrants(30, 48, Bitmap::Format::Bgr24));
    const std::string wide = bmpFile(dir_, "wide.bmp", quadrants(34, 20, Bitmap::Format::Bgr24));
    ASSERT_TRUE(setRootBackgroundAreas({tall, wide}, areas, limit, FitMode::Fit));
    // Each picture's quadrants fill its own monitor; nothing is drawn outside them.
    expectQuadrants(300, 480, [&](int x, int y) { return pixel(root_, x, y); }, "portrait monitor");
    expectQuadrants(340, 200, [&](int x, int y) { return pixel(root_, 300 + x, 100 + y); }, "wide monitor");
    EXPECT_EQ(pixel(root_, 400, 50), 0u);
    EXPECT_EQ(pixel(root_, 400, 400), 0u);
}

TEST_F(RootWindow, PictureInMemoryIsAskedAtTheSizeTheScreenShowsWithAndWithoutSharedMemory) {
    const auto limit = std::chrono::seconds(10);
    // The whole picture is 1280 x 960; its half size is what a 640 x 480 screen shows.
    const Bitmap whole = quadrants(1280, 960, Bitmap::Format::Bgr24), half = quadrants(640, 480, Bitmap::Format::Bgr24);
    std::vector<std::pair<int, int>> asked;
    const WallpaperPixels pixels{1280, 960, [&](int width, int height) {
                                     asked.emplace_back(width, height);
                                     const Bitmap& b = width > 640 || height > 480 ? whole : half;
                                     return BgrPixels{b.width(), b.height(), b.bytesPerLine(), b.bits(), nullptr};
                                 }};
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{}, {"-extension", "MIT-SHM"}}) {
        startServer(arguments);
        const std::string what = arguments.empty() ? "shared memory" : "requests";
        asked.clear();
        // No file is read: the one named does not exist.
        ASSERT_TRUE(setRootBackground(dir_.file("never-written.bmp"), limit, std::nullopt, pixels)) << what;
        ASSERT_TRUE(setRootBackground(dir_.file("never-written.bmp"), limit, FitMode::Center, pixels)) << what;
        EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{640, 480}, {1280, 960}})) << what;
        // Centred at its own size, the whole picture's middle fills the screen.
        EXPECT_EQ(pixel(root_, 319, 239), kRed) << what;
        EXPECT_EQ(pixel(root_, 320, 240), kWhite) << what;
        ASSERT_TRUE(setRootBackground(dir_.file("never-written.bmp"), limit, std::nullopt, pixels)) << what;
        expectQuadrants(640, 480, [&](int x, int y) { return pixel(root_, x, y); }, what);
        EXPECT_EQ(pixel(root_, 0, 0), kRed) << what;
        EXPECT_EQ(pixel(root_, 639, 479), kWhite) << what;
    }
}

TEST_F(RootWindow, ChosenFitModeIsDrawnOverTheScreen) {
    const auto limit = std::chrono::seconds(10);
    const std::string square = bmpFile(dir_, "square.bmp", quadrants(40, 40, Bitmap::Format::Bgr24));
    struct Sample {
        int x, y;
        std::uint32_t colour;
    };
    const std::pair<FitMode, std::vector<Sample>> cases[] = {
        {FitMode::Fit, {{40, 240, 0}, {600, 240, 0}, {100, 10, kRed}, {540, 470, kWhite}}},
        {FitMode::Tile, {{0, 0, kRed}, {45, 5, kRed}, {25, 5, kGreen}, {5, 465, kBlue}}},
        {FitMode::Center, {{299, 219, 0}, {300, 220, kRed}, {339, 259, kWhite}, {340, 260, 0}}},
        {FitMode::Stretch, {{0, 0, kRed}, {639, 0, kGreen}, {0, 479, kBlue}, {639, 479, kWhite}}},
    };
    for (const auto& [mode, samples] : cases) {
        ASSERT_TRUE(setRootBackground(square, limit, mode)) << fitModeName(mode);
        for (const Sample& s : samples)
            EXPECT_EQ(pixel(root_, s.x, s.y), s.colour) << fitModeName(mode) << " at " << s.x << "," << s.y;
    }
}

}  // namespace
}  // namespace velmora::platform
