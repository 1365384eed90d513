#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/desktop_linux.h"
#include "tests/support/fake_registry.h"
#include "platform/process_runner.h"
#include "platform/wallpaper_backends.h"
#include "base/system_error.h"
#include "tests/platform/xdg_sandbox.h"

namespace velmora::platform {
namespace {

// The desktop with everything outside the process recorded instead of done.
class RecordedDesktop : public ::testing::Test {
protected:
    RecordedDesktop() {
        DesktopServices services;
        services.environment = [this](const char* name) {
            if (std::string(name) == "XDG_CURRENT_DESKTOP") return currentDesktop;
            auto found = environment.find(name);
            return found == environment.end() ? std::string() : found->second;
        };
        services.programOnPath = [this](const std::string& name) {
            return std::find(installed.begin(), installed.end(), name) != installed.end();
        };
        services.run = [this](const std::vector<std::string>& argv) {
            runs.push_back(argv);
            return true;
        };
        // gsettings knows the keys of GNOME 42 and later, with the picture shown.
        services.capture = [](const std::vector<std::string>& argv) -> std::optional<std::string> {
            if (argv[1] == "list-keys") return "picture-options\npicture-uri\npicture-uri-dark\npicture-filename\n";
            return "'zoom'\n";
        };
        services.report = [this](const std::string& line) { reports.push_back(line); };
        services.requestShowDesktop = [this] {
            ++showDesktopRequests;
            return true;
        };
        services.sleep = [this](unsigned ms) { slept += ms; };
        desktop = std::make_unique<LinuxDesktop>(registry, services);
    }

    std::string wallpaperValue() {
        auto value = registry.value("Control Panel\\Desktop", "Wallpaper");
        return value ? std::string(value->data.begin(), value->data.end()) : "<none>";
    }

    test::XdgSandbox sandbox;
    CallLog log;
    FakeRegistry registry{log};
    std::string currentDesktop = "GNOME";
    std::map<std::string, std::string> environment;
    std::vector<std::string> reports;
    std::vector<std::string> installed{"gsettings"};
    std::vector<std::vector<std::string>> runs;
    int showDesktopRequests = 0;
    unsigned slept = 0;
    std::unique_ptr<LinuxDesktop> desktop;
};

TEST_F(RecordedDesktop, WallpaperIsRememberedAndHandedToGnome) {
    const std::string path = "C:\\WINDOWS\\Web\\Wallpaper\\myWallPaper\\图片 3.bmp";
    EXPECT_TRUE(desktop->setWallpaper(path));
    EXPECT_EQ(wallpaperValue(), path + '\0');
    EXPECT_EQ(registry.openHandleCount(), 0u);

    const std::string uri = "file://" + sandbox.driveC() +
                            "/WINDOWS/Web/Wallpaper/myWallPaper/%E5%9B%BE%E7%89%87%203.bmp";
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (std::vector<std::string>{"gsettings", "set", "org.gnome.desktop.background",
                                                 "picture-uri", "'" + uri + "'"}));
    EXPECT_EQ(runs[1][3], "picture-uri-dark");
    EXPECT_EQ(runs[1][4], "'" + uri + "'");
    EXPECT_EQ(reports, std::vector<std::string>{"velmora: wallpaper set through GNOME (gsettings "
                                                "org.gnome.desktop.background): " + sandbox.driveC() +
                                                "/WINDOWS/Web/Wallpaper/myWallPaper/图片 3.bmp"});
}

TEST_F(RecordedDesktop, OtherDesktopsGetTheirOwnSetting) {
    currentDesktop = "MATE";
    desktop->setWallpaper("C:\\it's.bmp");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], (std::vector<std::string>{"gsettings", "set", "org.mate.background",
                                                 "picture-filename", "'" + sandbox.driveC() + "/it\\'s.bmp'"}));
    runs.clear();
    currentDesktop = "KDE";
    installed = {"plasma-apply-wallpaperimage"};
    desktop->setWallpaper("C:\\w.bmp");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], (std::vector<std::string>{"plasma-apply-wallpaperimage", sandbox.driveC() + "/w.bmp"}));
}

TEST_F(RecordedDesktop, NoDesktopToolLeavesOnlyTheRegistryValue) {
    installed.clear();
    EXPECT_TRUE(desktop->setWallpaper("C:\\w.bmp"));
    EXPECT_TRUE(runs.empty());
    EXPECT_EQ(wallpaperValue(), std::string("C:\\w.bmp\0", 9));
    EXPECT_FALSE(desktop->wallpaperApplied());
    EXPECT_EQ(reports, std::vector<std::string>{"velmora: wallpaper not set: GNOME (gsettings "
                                                "org.gnome.desktop.background) did not take " +
                                                sandbox.driveC() + "/w.bmp"});
}

TEST_F(RecordedDesktop, SessionVariablesChooseTheBackend) {
    struct Case {
        std::map<std::string, std::string> variables;
        DesktopFamily family;
    };
    const Case cases[] = {
        {{{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}, DesktopFamily::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "Budgie:GNOME"}}, DesktopFamily::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "Unity:Unity7:ubuntu"}}, DesktopFamily::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "Pantheon"}}, DesktopFamily::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "X-Cinnamon"}}, DesktopFamily::Cinnamon},
        {{{"XDG_CURRENT_DESKTOP", "MATE"}, {"DISPLAY", ":0"}}, DesktopFamily::Mate},
        {{{"XDG_CURRENT_DESKTOP", "XFCE"}}, DesktopFamily::Xfce},
        {{{"XDG_CURRENT_DESKTOP", "KDE"}}, DesktopFamily::Plasma},
        {{{"KDE_FULL_SESSION", "true"}, {"DISPLAY", ":0"}}, DesktopFamily::Plasma},
        {{{"XDG_CURRENT_DESKTOP", "LXQt"}}, DesktopFamily::Lxqt},
        {{{"XDG_CURRENT_DESKTOP", "LXDE"}}, DesktopFamily::Lxde},
        {{{"XDG_SESSION_DESKTOP", "xfce"}}, DesktopFamily::Xfce},
        {{{"DESKTOP_SESSION", "/usr/share/xsessions/plasma"}}, DesktopFamily::Plasma},
        {{{"DESKTOP_SESSION", "lxqt.desktop"}}, DesktopFamily::Lxqt},
        {{{"XDG_CURRENT_DESKTOP", "sway"}, {"WAYLAND_DISPLAY", "wayland-1"}}, DesktopFamily::Sway},
        {{{"SWAYSOCK", "/run/user/1000/sway-ipc.sock"}, {"WAYLAND_DISPLAY", "wayland-1"}}, DesktopFamily::Sway},
        {{{"XDG_CURRENT_DESKTOP", "i3"}, {"DISPLAY", ":0"}}, DesktopFamily::X11},
        {{{"DISPLAY", ":1"}}, DesktopFamily::X11},
        {{{"XDG_CURRENT_DESKTOP", "Hyprland"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}},
         DesktopFamily::Unknown},
        {{}, DesktopFamily::Unknown},
    };
    for (const Case& c : cases) {
        DesktopServices services;
        services.environment = [&](const char* name) {
            auto found = c.variables.find(name);
            return found == c.variables.end() ? std::string() : found->second;
        };
        std::string shown;
        for (const auto& [name, value] : c.variables) shown += name + "=" + value + " ";
        EXPECT_EQ(detectDesktopFamily(services), c.family) << shown;
    }
}

TEST_F(RecordedDesktop, GsettingsDesktopsTurnAHiddenPictureOnAndSkipMissingKeys) {
    desktop->services().capture = [](const std::vector<std::string>& argv) -> std::optional<std::string> {
        if (argv[1] == "list-keys") return argv[2] == "org.gnome.desktop.background"
                                               ? "picture-options\npicture-uri\n"  // before GNOME 42
                                               : std::string();                       // no such schema
        return "'none'\n";
    };
    desktop->setWallpaper("C:\\w.bmp");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0][3], "picture-uri");
    EXPECT_EQ(runs[1], (std::vector<std::string>{"gsettings", "set", "org.gnome.desktop.background",
                                                 "picture-options", "'zoom'"}));
    runs.clear();
    currentDesktop = "X-Cinnamon";
    desktop->setWallpaper("C:\\w.bmp");
    EXPECT_TRUE(runs.empty());
    EXPECT_FALSE(desktop->wallpaperApplied());
}

TEST_F(RecordedDesktop, WindowsMRequestsShowDesktopOnce) {
    EXPECT_EQ(desktop->mapVirtualKey(kVkLeftWindows, 0), 0x5Bu);
    EXPECT_EQ(desktop->mapVirtualKey(kVkM, 0), 0x32u);
    desktop->keyboardEvent(kVkM, 0x32, 0, 0);  // M alone does nothing
    desktop->keyboardEvent(kVkM, 0x32, kKeyEventKeyUp, 0);
    EXPECT_EQ(showDesktopRequests, 0);
    desktop->keyboardEvent(kVkLeftWindows, 0x5B, 0, 0);
    desktop->keyboardEvent(kVkM, 0x32, 0, 0);
    desktop->keyboardEvent(kVkM, 0x32, kKeyEventKeyUp, 0);
    desktop->keyboardEvent(kVkLeftWindows, 0x5B, kKeyEventKeyUp, 0);
    EXPECT_EQ(showDesktopRequests, 1);
    desktop->sleep(1000);
    EXPECT_EQ(slept, 1000u);
}

TEST_F(RecordedDesktop, ShellOpenGoesThroughTheUrlHook) {
    EXPECT_FALSE(desktop->shellExecute("open", "Explorer.exe", "http://example.org/", kShowNormal));
    std::vector<std::string> opened;
    desktop->services().openUrl = [&](const std::string& url) {
        opened.push_back(url);
        return true;
    };
    EXPECT_TRUE(desktop->shellExecute("open", "Explorer.exe", "http://example.org/", kShowNormal));
    EXPECT_TRUE(desktop->shellExecute("open", "C:\\a b.bmp", "", kShowNormal));
    EXPECT_EQ(opened, (std::vector<std::string>{"http://example.org/", "file://" + sandbox.driveC() + "/a%20b.bmp"}));
}

TEST(ProcessRunner, SlowProgramIsCutOffAtTheTimeout) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(DesktopServices::system(std::chrono::milliseconds(200)).run({"sleep", "5"}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_TRUE(DesktopServices::system().run({"true"}));
    EXPECT_FALSE(DesktopServices::system().run({"velmora-no-such-program"}));
}

TEST(ProcessRunner, CaptureKeepsTheOutputAndWaitsNeitherForSlowProgramsNorForWhatTheyLeave) {
    const auto limit = std::chrono::seconds(3);
    EXPECT_EQ(captureProgram({"printf", "a\\nb  \\n\\n"}, limit), "a\nb  \n\n");
    EXPECT_EQ(outputLines("a\nb  \n\n c\r\n"), (std::vector<std::string>{"a", "b", " c"}));
    EXPECT_EQ(captureProgram({"sh", "-c", "echo out; exit 3"}, limit), std::nullopt);
    EXPECT_EQ(captureProgram({"velmora-no-such-program"}, limit), std::nullopt);

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(captureProgram({"sleep", "5"}, std::chrono::milliseconds(200)), std::nullopt);
    // A program that ends while something it started still holds its output.
    EXPECT_EQ(captureProgram({"sh", "-c", "echo done; sleep 5 &"}, limit), "done\n");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
}  // namespace velmora::platform
