// Xfce against the real xfconfd, started on a private session bus.

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/wallpaper_backends.h"
#include "tests/platform/session_desktop.h"
#include "tests/support/xvfb_server.h"

namespace velmora::platform {
namespace {

class XfceDesktop : public test::SessionDesktop {
protected:
    void SetUp() override {
        if (!programs.link("xfconf-query")) GTEST_SKIP() << "xfconf missing";
    }
    static std::string get(const std::string& property) {
        return output({"xfconf-query", "-c", "xfce4-desktop", "-p", property});
    }
    static void seed(const std::string& property, const std::string& type, const std::string& value) {
        ASSERT_TRUE(runProgram({"xfconf-query", "-c", "xfce4-desktop", "-p", property, "-n", "-t", type, "-s", value},
                               kLimit));
    }
};

TEST_F(XfceDesktop, EveryBackdropImageThatExistsGetsThePicture) {
    const std::string images[] = {"/backdrop/screen0/monitorVirtual-1/workspace0/last-image",
                                  "/backdrop/screen0/monitorVirtual-1/workspace3/last-image",
                                  "/backdrop/screen0/monitor0/image-path"};
    for (const std::string& property : images) seed(property, "string", "/usr/share/old.png");
    seed("/backdrop/screen0/monitorVirtual-1/workspace0/image-style", "int", "5");
    seed("/backdrop/screen0/monitorVirtual-1/workspace0/last-single-image", "string", "/usr/share/old.png");

    const std::string file = setWallpaper("XFCE", "图片 1.bmp");
    for (const std::string& property : images) EXPECT_EQ(get(property), file) << property;
    EXPECT_EQ(get("/backdrop/screen0/monitorVirtual-1/workspace0/image-style"), "5");
    EXPECT_EQ(get("/backdrop/screen0/monitorVirtual-1/workspace0/last-single-image"), "/usr/share/old.png");
    EXPECT_EQ(reports, std::vector<std::string>{"velmora: wallpaper set through Xfce (xfconf xfce4-desktop): " + file});
}

TEST_F(XfceDesktop, ChosenFitModeGoesBesideEveryImage) {
    const std::string images[] = {"/backdrop/screen0/monitorHDMI-1/workspace0/last-image",
                                  "/backdrop/screen0/monitoreDP-1/workspace1/last-image"};
    for (const std::string& property : images) seed(property, "string", "/usr/share/old.png");
    seed("/backdrop/screen0/monitorHDMI-1/workspace0/image-style", "int", "0");
    const std::pair<FitMode, const char*> modes[] = {{FitMode::Fill, "5"},   {FitMode::Fit, "4"},
                                                     {FitMode::Stretch, "3"}, {FitMode::Center, "1"},
                                                     {FitMode::Tile, "2"},    {FitMode::Span, "6"}};
    for (const auto& [mode, style] : modes) {
        platform.desktop().setWallpaperLayout(WallpaperLayout{mode, true, {}});
        const std::string file = setWallpaper("XFCE", "styled.bmp");
        for (const std::string& property : images) {
            EXPECT_EQ(get(property), file);
            const std::string styleProperty = property.substr(0, property.rfind('/')) + "/image-style";
            EXPECT_EQ(get(styleProperty), style) << styleProperty;
        }
    }
    EXPECT_EQ(reports.back(), "velmora: the lock screen of Xfce (xfconf xfce4-desktop) shows the desktop wallpaper itself");
}

TEST_F(XfceDesktop, EachMonitorGetsItsOwnPictureAndANewMonitorItsProperty) {
    seed("/backdrop/screen0/monitorHDMI-1/workspace0/last-image", "string", "/old.png");
    seed("/backdrop/screen0/monitorHDMI-1/workspace2/last-image", "string", "/old.png");
    seed("/backdrop/screen0/monitor0/image-path", "string", "/old.png");
    ASSERT_TRUE(setXfceMonitorWallpapers({{"HDMI-1", "/first.bmp"}, {"DP-2", "/second.bmp"}}, "/first.bmp",
                                         platform.desktop().services(), FitMode::Fit));
    EXPECT_EQ(get("/backdrop/screen0/monitorHDMI-1/workspace0/last-image"), "/first.bmp");
    EXPECT_EQ(get("/backdrop/screen0/monitorHDMI-1/workspace2/last-image"), "/first.bmp");
    EXPECT_EQ(get("/backdrop/screen0/monitor0/image-path"), "/first.bmp");
    EXPECT_EQ(get("/backdrop/screen0/monitorDP-2/workspace0/last-image"), "/second.bmp");
    EXPECT_EQ(get("/backdrop/screen0/monitorDP-2/workspace0/image-style"), "4");
}

TEST_F(XfceDesktop, FirstPictureGoesToTheCurrentScreenMonitorAndWorkspace) {
    std::string file = setWallpaper("XFCE", "first.bmp");
    EXPECT_EQ(get("/backdrop/screen0/monitor0/workspace0/last-image"), file);

    if (!programs.link("Xvfb") || !programs.link("xprop")) GTEST_SKIP() << "Xvfb or xprop missing";
    test::XvfbServer server;
    test::ScopedEnvironment display("DISPLAY", server.display());
    ASSERT_TRUE(runProgram({"xprop", "-root", "-f", "_NET_CURRENT_DESKTOP", "32c", "-set", "_NET_CURRENT_DESKTOP", "2"},
                           kLimit));
    // The monitor is named by xrandr, which calls Xvfb's one output "screen"; without
    // xrandr it is monitor0.
    for (const bool xrandr : {false, true}) {
        const std::string property =
            xrandr ? "/backdrop/screen0/monitorscreen/workspace2/last-image" : "/backdrop/screen0/monitor0/workspace2/last-image";
        if (xrandr && !programs.link("xrandr")) GTEST_SKIP() << "xrandr missing: the monitor's name is not asked";
        ASSERT_TRUE(runProgram({"xfconf-query", "-c", "xfce4-desktop", "-r", "-R", "-p", "/backdrop"}, kLimit));
        EXPECT_EQ(currentXfceBackdropProperty(platform.desktop().services()), property);
        file = setWallpaper("XFCE", xrandr ? "named.bmp" : "second.bmp");
        EXPECT_EQ(get(property), file);
    }
}

}  // namespace
}  // namespace velmora::platform
