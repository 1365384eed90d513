// GNOME, Cinnamon and MATE against the real dconf store, through gsettings on a
// private session bus.

#include <string>

#include <gtest/gtest.h>

#include "platform/desktop_linux.h"
#include "tests/platform/session_desktop.h"
#include "tests/support/temp_dir.h"

namespace velmora::platform {
namespace {

class GsettingsDesktops : public test::SessionDesktop {
protected:
    void SetUp() override {
        if (!programs.link("gsettings") || !programOnPath("dbus-daemon")) GTEST_SKIP() << "gsettings missing";
    }
    static std::string get(const std::string& schema, const std::string& key) {
        return output({"gsettings", "get", schema, key});
    }
    static void set(const std::string& schema, const std::string& key, const std::string& value) {
        ASSERT_TRUE(runProgram({"gsettings", "set", schema, key, value}, kLimit)) << schema << " " << key;
    }
};

TEST_F(GsettingsDesktops, EachDesktopReadsThePictureBackFromItsOwnSchema) {
    set("org.gnome.desktop.background", "picture-options", "none");
    set("org.cinnamon.desktop.background", "picture-options", "none");
    set("org.mate.background", "picture-options", "centered");

    std::string file = setWallpaper("ubuntu:GNOME", "图片 3's.bmp");
    std::string uri = "'" + fileUri(file) + "'";
    EXPECT_EQ(get("org.gnome.desktop.background", "picture-uri"), uri);
    EXPECT_EQ(get("org.gnome.desktop.background", "picture-uri-dark"), uri);
    EXPECT_EQ(get("org.gnome.desktop.background", "picture-options"), "'zoom'");
    EXPECT_NE(get("org.cinnamon.desktop.background", "picture-uri"), uri);  // only the running desktop

    file = setWallpaper("X-Cinnamon", "cinnamon.bmp");
    EXPECT_EQ(get("org.cinnamon.desktop.background", "picture-uri"), "'" + fileUri(file) + "'");
    EXPECT_EQ(get("org.cinnamon.desktop.background", "picture-options"), "'zoom'");

    file = setWallpaper("MATE", "it's mate.bmp");
    EXPECT_EQ(get("org.mate.background", "picture-filename"), "\"" + file + "\"");
    EXPECT_EQ(get("org.mate.background", "picture-options"), "'centered'");  // the user's choice stays

    set("org.gnome.desktop.background", "picture-options", "spanned");
    setWallpaper("GNOME", "again.bmp");
    EXPECT_EQ(get("org.gnome.desktop.background", "picture-options"), "'spanned'");

    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[2], "velmora: wallpaper set through MATE (gsettings org.mate.background): " + file);
}

TEST_F(GsettingsDesktops, ChosenFitModeAndLockScreenReachEachSchema) {
    const std::pair<FitMode, const char*> modes[] = {
        {FitMode::Fill, "'zoom'"},        {FitMode::Fit, "'scaled'"},     {FitMode::Stretch, "'stretched'"},
        {FitMode::Center, "'centered'"}, {FitMode::Tile, "'wallpaper'"}, {FitMode::Span, "'spanned'"},
    };
    for (const auto& [mode, option] : modes) {
        platform.desktop().setWallpaperLayout(WallpaperLayout{mode, true, {}});
        const std::string uri = "'" + fileUri(setWallpaper("GNOME", "g.bmp")) + "'";
        EXPECT_EQ(get("org.gnome.desktop.background", "picture-options"), option);
        EXPECT_EQ(get("org.gnome.desktop.screensaver", "picture-uri"), uri);
        EXPECT_EQ(get("org.gnome.desktop.screensaver", "picture-options"), option);
        setWallpaper("X-Cinnamon", "c.bmp");
        EXPECT_EQ(get("org.cinnamon.desktop.background", "picture-options"), option);
        setWallpaper("MATE", "m.bmp");
        EXPECT_EQ(get("org.mate.background", "picture-options"), option);
    }
    ASSERT_EQ(reports.size(), 6u * 6);
    EXPECT_EQ(reports[1], "velmora: lock screen set through org.gnome.desktop.screensaver: " + sandbox.driveC() + "/g.bmp");
    EXPECT_EQ(reports[3], "velmora: the lock screen of Cinnamon (gsettings org.cinnamon.desktop.background) shows the "
                          "desktop wallpaper itself");

    // Without a lock screen choice the screen saver's picture stays as it is.
    set("org.gnome.desktop.screensaver", "picture-uri", "'file:///mine.png'");
    platform.desktop().setWallpaperLayout(WallpaperLayout{FitMode::Fit, false, {}});
    setWallpaper("GNOME", "again.bmp");
    EXPECT_EQ(get("org.gnome.desktop.screensaver", "picture-uri"), "'file:///mine.png'");
}

TEST_F(GsettingsDesktops, MissingSchemaIsReportedNotOpened) {
    test::TempDir noSchemas;
    test::ScopedEnvironment dataDirs("XDG_DATA_DIRS", noSchemas.path().string());
    std::string file = setWallpaper("GNOME", "w.bmp");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0],
              "velmora: wallpaper not set: GNOME (gsettings org.gnome.desktop.background) did not take " + file);
    EXPECT_FALSE(platform.desktop().wallpaperApplied());
}

}  // namespace
}  // namespace velmora::platform
