// KDE Plasma, LXQt and LXDE. Their shells cannot run here: a recording D-Bus service
// stands in for plasmashell on a private session bus, recording programs on PATH for
// pcmanfm-qt, pcmanfm and plasma-apply-wallpaperimage, on a PATH of the test's own (so
// the real ones, where installed, are not found).

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/desktop_linux.h"
#include "platform/monitors_linux.h"
#include "platform/wallpaper_backends.h"
#include "tests/platform/session_desktop.h"
#include "tests/support/build_paths.h"
#include "tests/support/temp_dir.h"

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

class ShellDesktops : public test::SessionDesktop {
protected:
    // A program on PATH that appends its name and arguments, one a line, to a log.
    std::string recordingProgram(const std::string& name) {
        const std::string log = programs.file(name + ".log");
        const std::string script = programs.file(name);
        test::writeFile(script, "#!/bin/sh\nprintf '%s\\n' \"${0##*/}\" \"$@\" >> '" + log + "'\n");
        ::chmod(script.c_str(), 0755);
        return log;
    }
    static std::string readIfThere(const std::string& path) { return fs::exists(path) ? test::readFile(path) : ""; }
};

TEST_F(ShellDesktops, PlasmaShellGetsAScriptThatSetsTheImageOnEveryDesktop) {
    // Debian's python3, whose dbus and gi modules deps.sh installs, not another one on PATH.
    const std::string python = "/usr/bin/python3";
    if (!fs::exists(python) || !programs.link("dbus-send")) GTEST_SKIP() << "python3 or dbus-send missing";
    const std::string scripts = programs.file("scripts.log");
    const std::string ready = programs.file("ready");
    test::ChildOptions options;
    options.standardOutput = ready;
    const std::string recorder = test::testDataDir() + "/plasmashell_recorder.py";
    // Screen 1, portrait, stands left of the primary screen 0.
    test::ChildProcess shell({python, recorder, scripts, "0 0 0 1920 1080\n1 -1080 0 1080 1920\n"}, options);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (readIfThere(ready).find("ready") == std::string::npos) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the plasmashell stand-in did not start";
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    const std::string file = setWallpaper("KDE", "图片 3's.bmp");
    EXPECT_EQ(readIfThere(scripts), plasmaWallpaperScript(fileUri(file)));
    EXPECT_NE(plasmaWallpaperScript(fileUri(file)).find("d.writeConfig(\"Image\", \"file://" + sandbox.driveC() +
                                                        "/%E5%9B%BE%E7%89%87%203%27s.bmp\");"),
              std::string::npos);
    EXPECT_EQ(reports, std::vector<std::string>{"velmora: wallpaper set through KDE Plasma (plasmashell): " + file});

    // Plasma's own tool comes first where it is installed.
    const std::string applied = recordingProgram("plasma-apply-wallpaperimage");
    setWallpaper("KDE", "tool.bmp");
    EXPECT_EQ(readIfThere(applied), "plasma-apply-wallpaperimage\n" + sandbox.driveC() + "/tool.bmp\n");
    EXPECT_EQ(readIfThere(scripts), plasmaWallpaperScript(fileUri(file)));

    // A picture per screen goes through the script, whatever tool is installed.
    ASSERT_TRUE(setPlasmaMonitorWallpapers({"/first.bmp", "/second.bmp"}, platform.desktop().services(), FitMode::Fit));
    const std::string perScreen = plasmaMonitorsScript({"file:///first.bmp", "file:///second.bmp"}, 1);
    EXPECT_EQ(readIfThere(scripts), plasmaWallpaperScript(fileUri(file)) + perScreen);
    EXPECT_NE(perScreen.find("var images = [\"file:///first.bmp\", \"file:///second.bmp\"];"), std::string::npos);

    // The screens the per-screen script numbers, asked of the shell.
    test::ScopedEnvironment desktop("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_EQ(platform.desktop().monitors(),
              (std::vector<Monitor>{{"screen 0", {0, 0, 1920, 1080}}, {"screen 1", {-1080, 0, 1080, 1920}}}));
    shell.stop();
    // What dbus-send shows, and answers that cannot be trusted.
    EXPECT_EQ(parsePlasmaScreens("method return time=1.5 sender=:1.2 -> destination=:1.3 serial=4 reply_serial=2\n"
                                 "   string \"0 10 20 800 600\n\"\n"),
              (std::vector<Monitor>{{"screen 0", {10, 20, 800, 600}}}));
    for (const char* bad : {"   string \"1 0 0 800 600\n\"", "   string \"0 0 0 0 600\n\"", "   string \"\"", "no string"})
        EXPECT_TRUE(parsePlasmaScreens(bad).empty()) << bad;
}

TEST_F(ShellDesktops, NoPlasmaShellOnTheBusIsAFailureNotAHang) {
    programs.link("dbus-send");
    auto start = std::chrono::steady_clock::now();
    const std::string file = setWallpaper("KDE", "w.bmp");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(reports, std::vector<std::string>{"velmora: wallpaper not set: KDE Plasma (plasmashell) did not take " +
                                                file});
}

TEST_F(ShellDesktops, LxqtAndLxdeHandTheFileToTheirFileManager) {
    struct Case {
        const char* desktop;
        const char* program;
    };
    for (const Case& c : {Case{"LXQt", "pcmanfm-qt"}, Case{"LXDE", "pcmanfm"}}) {
        const std::string log = recordingProgram(c.program);
        const std::string file = setWallpaper(c.desktop, std::string(c.desktop) + " 图片.bmp");
        EXPECT_EQ(readIfThere(log), std::string(c.program) + "\n--set-wallpaper\n" + file + "\n") << c.desktop;
    }
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1], "velmora: wallpaper set through LXDE (pcmanfm): " + sandbox.driveC() + "/LXDE 图片.bmp");
}

TEST_F(ShellDesktops, ChosenFitModeReachesEachCommandAndPlasmasLockScreen) {
    struct Case {
        FitMode mode;
        const char* lxqt;
        const char* lxde;
        const char* sway;
        const char* plasma;
    };
    const Case cases[] = {{FitMode::Fill, "zoom", "crop", "fill", "2"},      {FitMode::Fit, "fit", "fit", "fit", "1"},
                          {FitMode::Stretch, "stretch", "stretch", "stretch", "0"},
                          {FitMode::Center, "center", "center", "center", "6"},
                          {FitMode::Tile, "tile", "tile", "tile", "3"},      {FitMode::Span, "zoom", "screen", "fill", "2"}};
    for (const Case& c : cases) {
        platform.desktop().setWallpaperLayout(WallpaperLayout{c.mode, true, {}});
        const std::string lxqt = recordingProgram("pcmanfm-qt"), lxde = recordingProgram("pcmanfm");
        const std::string sway = recordingProgram("swaymsg"), kwrite = recordingProgram("kwriteconfig5");
        const std::string file = setWallpaper("LXQt", "p.bmp");
        setWallpaper("LXDE", "p.bmp");
        setWallpaper("sway", "p.bmp");
        setWallpaper("KDE", "p.bmp");
        const char* mode = fitModeName(c.mode);
        EXPECT_EQ(readIfThere(lxqt), "pcmanfm-qt\n--set-wallpaper\n" + file + "\n--wallpaper-mode=" + c.lxqt + "\n") << mode;
        EXPECT_EQ(readIfThere(lxde), "pcmanfm\n--set-wallpaper\n" + file + "\n--wallpaper-mode=" + c.lxde + "\n") << mode;
        EXPECT_EQ(readIfThere(sway), "swaymsg\noutput\n*\nbg\n\"'" + file + "'\"\n" + c.sway + "\n") << mode;
        const std::string group = "--file\nkscreenlockerrc\n--group\nGreeter\n--group\nWallpaper\n--group\norg.kde.image\n"
                                  "--group\nGeneral\n--key\n";
        EXPECT_EQ(readIfThere(kwrite), "kwriteconfig5\n" + group + "Image\n" + fileUri(file) + "\nkwriteconfig5\n" + group +
                                           "FillMode\n" + c.plasma + "\n") << mode;
        EXPECT_NE(plasmaMonitorsScript({"file:///a.bmp", "file:///b.bmp"}, plasmaFillMode(c.mode)).find(
                      std::string("d.writeConfig(\"FillMode\", ") + c.plasma + ");"),
                  std::string::npos);
        EXPECT_NE(plasmaWallpaperScript("file:///p.bmp", plasmaFillMode(c.mode)).find(
                      std::string("d.writeConfig(\"FillMode\", ") + c.plasma + ");"),
                  std::string::npos);
        for (const std::string& log : {lxqt, lxde, sway, kwrite}) fs::remove(log);
    }
    EXPECT_EQ(reports[1], "velmora: the lock screen of this desktop (LXQt (pcmanfm-qt)) cannot be set");
    EXPECT_EQ(reports.back(), "velmora: lock screen set through kscreenlockerrc: " + sandbox.driveC() + "/p.bmp");
}

}  // namespace
}  // namespace velmora::platform
