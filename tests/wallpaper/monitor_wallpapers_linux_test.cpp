// A picture per monitor through the whole change: the collection's pictures chosen
// to suit each monitor, then GNOME's spanned picture in the real dconf (monitors from
// an xrandr of the test's own), LXDE's, sway's outputs (a recording swaymsg, and a real
// headless sway with two outputs). The root window's composition is tested with the
// root window.

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/bmp_pixels.h"
#include "platform/desktop_linux.h"
#include "platform/process_runner.h"
#include "store/database/collection_file.h"
#include "store/picture/jpeg_encoder.h"
#include "tests/platform/headless_sway.h"
#include "tests/platform/session_desktop.h"
#include "tests/support/child_process.h"
#include "wallpaper/monitor_pictures.h"
#include "wallpaper/wallpaper_rotation.h"

namespace velmora {
namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

Bytes solidJpeg(int width, int height, std::uint32_t rgb) {
    Bitmap bitmap(width, height, Bitmap::Format::Bgr24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = bitmap.scanLine(y) + 3 * x;
            pixel[0] = rgb & 0xFF, pixel[1] = rgb >> 8 & 0xFF, pixel[2] = rgb >> 16 & 0xFF;
        }
    return encodeJpeg(bitmap, jpegDefaults());
}

// Near a colour, as JPEG keeps it.
bool near(std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > 24) return false;
    return true;
}

class MonitorWallpapers : public test::SessionDesktop {
protected:
    MonitorWallpapers() {
        // "wide" comes first, so the main wallpaper is the landscape one; of the two
        // others only "tall" suits a portrait monitor, though "small" comes before it.
        createCollection(file, {{"wide", solidJpeg(64, 36, kRed)},
                                       {"small", solidJpeg(8, 6, kGreen)},
                                       {"tall", solidJpeg(320, 480, kBlue)}});
        settings.perMonitor = true;
        settings.fit = platform::FitMode::Fill;
    }
    void script(const std::string& name, const std::string& body) {
        const std::string path = programs.file(name);
        test::writeFile(path, "#!/bin/sh\n" + body);
        ::chmod(path.c_str(), 0755);
    }
    // A swaymsg that lists these outputs and logs every other command; the log's path.
    std::string swayOutputs(const std::vector<platform::Monitor>& outputs) {
        std::string json;
        for (const platform::Monitor& output : outputs) {
            const platform::PixelRect& r = output.rect;
            json += std::string(json.empty() ? "" : ", ") + "{\"name\": \"" + output.name +
                    "\", \"active\": true, \"rect\": {\"x\": " + std::to_string(r.x) + ", \"y\": " +
                    std::to_string(r.y) + ", \"width\": " + std::to_string(r.width) +
                    ", \"height\": " + std::to_string(r.height) + "}}";
        }
        const std::string log = programs.file("swaymsg.log");
        script("swaymsg", "if [ \"$1\" = -t ]; then echo '[" + json + "]'; else echo \"$*\" >> '" + log + "'; fi\n");
        return log;
    }
    std::string change(const std::string& desktop) {
        test::ScopedEnvironment current("XDG_CURRENT_DESKTOP", desktop);
        return changeWallpaper(file, WallpaperChoice{WallpaperStep::Named, "wide"}, settings, platform.platform());
    }

    std::string file = sandbox.dir().file("pictures.vlm");
    WallpaperSettings settings;
};

TEST(MonitorPictureChoice, PicturesSuitTheirMonitorOrComeInTurn) {
    const std::vector<platform::Monitor> monitors{{"A", {0, 0, 1920, 1080}},
                                                  {"B", {1920, 0, 1080, 1920}},
                                                  {"C", {3000, 0, 1920, 1080}}};
    const std::vector<PictureShape> shapes{{800, 600}, {1080, 1920}, {1920, 1080}, {500, 900}};
    auto shape = [&](std::size_t row) { return std::optional<PictureShape>(shapes[row]); };
    EXPECT_EQ(chooseMonitorRows(monitors, {0, 1, 2, 3}, shape), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(chooseMonitorRows(monitors, {0, 3}, shape), (std::vector<std::size_t>{0, 3}));  // none suits: in turn
    EXPECT_EQ(chooseMonitorRows(monitors, {2}, shape), (std::vector<std::size_t>{2, 2}));     // too few pictures
    EXPECT_TRUE(suits({960, 540}, {0, 0, 1920, 1080}));
    EXPECT_FALSE(suits({959, 540}, {0, 0, 1920, 1080}));
    EXPECT_FALSE(suits({4000, 3000}, {0, 0, 1080, 1920}));
}

TEST_F(MonitorWallpapers, GnomeGetsOneSpannedPictureOfMixedMonitors) {
    if (!programs.link("gsettings")) GTEST_SKIP() << "gsettings missing";
    // A landscape monitor and, above and to the left of it, a portrait one.
    script("xrandr", "echo 'Monitors: 2'\n"
                     "echo ' 0: +*HDMI-1 160/1x90/1+0+0  HDMI-1'\n"
                     "echo ' 1: +DP-1 60/1x100/1-60-40  DP-1'\n");
    change("GNOME");
    const std::string spanned = sandbox.driveC() + "/WINDOWS/Web/Wallpaper/Velmora monitors/spanned.bmp";
    EXPECT_EQ(output({"gsettings", "get", "org.gnome.desktop.background", "picture-uri"}),
              "'" + platform::fileUri(spanned) + "'");
    EXPECT_EQ(output({"gsettings", "get", "org.gnome.desktop.background", "picture-options"}), "'spanned'");
    std::optional<platform::RgbPixels> picture = platform::readBmpPixels(spanned);
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->width, 220);
    ASSERT_EQ(picture->height, 130);
    EXPECT_TRUE(near(picture->at(100, 80), kRed));  // HDMI-1 lies at (60, 40) in the picture
    EXPECT_TRUE(near(picture->at(30, 50), kBlue));  // DP-1 at (0, 0), portrait: the tall picture
    EXPECT_EQ(picture->at(100, 10), 0u);            // where no monitor is
}

TEST_F(MonitorWallpapers, LxdeSpansOneComposedPictureAcrossItsMonitors) {
    script("xrandr", "echo 'Monitors: 2'\n"
                     "echo ' 0: +*HDMI-1 160/1x90/1+0+0  HDMI-1'\n"
                     "echo ' 1: +DP-1 60/1x100/1+160+0  DP-1'\n");
    const std::string log = programs.file("pcmanfm.log");
    script("pcmanfm", "printf '%s\\n' \"$@\" >> '" + log + "'\n");
    change("LXDE");
    const std::string spanned = sandbox.driveC() + "/WINDOWS/Web/Wallpaper/Velmora monitors/spanned.bmp";
    EXPECT_EQ(test::readFile(log), "--set-wallpaper\n" + spanned + "\n--wallpaper-mode=screen\n");
    std::optional<platform::RgbPixels> picture = platform::readBmpPixels(spanned);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 220);
    EXPECT_TRUE(near(picture->at(80, 45), kRed));   // HDMI-1: the landscape picture
    EXPECT_TRUE(near(picture->at(190, 50), kBlue));  // DP-1, portrait: the tall picture
}

TEST_F(MonitorWallpapers, SwayGivesEachOutputItsOwnBackground) {
    const std::string log = swayOutputs({{"HEADLESS-1", {0, 0, 800, 600}}, {"HEADLESS-2", {800, 0, 600, 800}}});
    test::ScopedEnvironment sock("SWAYSOCK", "/nonexistent");
    change("sway");
    const std::string folder = sandbox.driveC() + "/WINDOWS/Web/Wallpaper";
    EXPECT_EQ(test::readFile(log), "output HEADLESS-1 bg \"'" + folder + "/myWallPaper/wide.bmp'\" fill\n"
                                   "output HEADLESS-2 bg \"'" + folder + "/Velmora monitors/2.bmp'\" fill\n");
    std::optional<platform::RgbPixels> second = platform::readBmpPixels(folder + "/Velmora monitors/2.bmp");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->width, 320);  // the portrait picture for the portrait output
}

TEST_F(MonitorWallpapers, RealHeadlessSwayGivesEachOfItsTwoOutputsItsOwnBackground) {
    if (!programs.link("swaymsg")) GTEST_SKIP() << "swaymsg missing";
    const std::string folder = sandbox.driveC() + "/WINDOWS/Web/Wallpaper";
    std::filesystem::create_directories(folder + "/myWallPaper");
    std::filesystem::create_directories(folder + "/Velmora monitors");
    test::HeadlessSway sway(sandbox.dir().file(""));
    if (std::string why = sway.start(); !why.empty()) GTEST_SKIP() << why;
    ASSERT_NE(output({"swaymsg", "-s", sway.socket(), "create_output"}), "<failed>");
    // create_output answers before sway lists the new output as active.
    for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
         output({"swaymsg", "-s", sway.socket(), "-t", "get_outputs"}).find("HEADLESS-2") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline;)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    test::ScopedEnvironment sock("SWAYSOCK", sway.socket());
    change("sway");

    // The last start of swaybg holds both outputs.
    const std::string expected = "-o HEADLESS-1 -i " + folder + "/myWallPaper/wide.bmp -m fill -o HEADLESS-2 -i " +
                                 folder + "/Velmora monitors/2.bmp -m fill";
    EXPECT_EQ(sway.lastSwaybg([&](const std::string& last) { return last == expected; }), expected);
}

TEST_F(MonitorWallpapers, ShuffledPicturesOnOtherMonitorsCountAsShownInTheRound) {
    // Two landscape outputs and three pictures that suit them: the first change shows
    // two pictures, so the second must show the third on the main output.
    swayOutputs({{"A", {0, 0, 64, 36}}, {"B", {64, 0, 64, 36}}});
    test::ScopedEnvironment sock("SWAYSOCK", "/nonexistent");
    test::ScopedEnvironment current("XDG_CURRENT_DESKTOP", "sway");
    settings.order = RotationOrder::Shuffle;
    const std::string file3 = sandbox.dir().file("three.vlm");
    createCollection(file3, {{"one", solidJpeg(64, 36, kRed)},
                                    {"two", solidJpeg(64, 36, kGreen)},
                                    {"three", solidJpeg(64, 36, kBlue)}});
    const std::string first = changeWallpaper(file3, WallpaperChoice{WallpaperStep::Next, ""}, settings,
                                              platform.platform());
    // The second output's picture is written as a copy: find which one it was by colour.
    const std::string folder = sandbox.driveC() + "/WINDOWS/Web/Wallpaper";
    std::optional<platform::RgbPixels> other = platform::readBmpPixels(folder + "/Velmora monitors/2.bmp");
    ASSERT_TRUE(other);
    const std::vector<std::pair<std::string, std::uint32_t>> colours{{"one", kRed}, {"two", kGreen}, {"three", kBlue}};
    std::string second;
    for (const auto& [name, rgb] : colours)
        if (near(other->at(10, 10), rgb)) second = name;
    ASSERT_FALSE(second.empty());
    EXPECT_NE(second, first);
    const std::string third = changeWallpaper(file3, WallpaperChoice{WallpaperStep::Next, ""}, settings,
                                              platform.platform());
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);
}

}  // namespace
}  // namespace velmora
