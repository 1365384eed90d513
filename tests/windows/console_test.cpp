#include <windows.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/utf16.h"
#include "cli/command_line_win32.h"
#include "platform/rotation_timer_win32.h"
#include "platform/windows_platform.h"
#include "store/database/collection_file.h"
#include "tests/support/temp_dir.h"
#include "tools/synthetic_picture.h"
#include "wallpaper/wallpaper_location.h"

namespace velmora {
namespace {

TEST(ConsoleCommandLine, OptionsAndTheirMistakes) {
    struct Case {
        std::vector<std::string> arguments;
        WindowsAction action;
        std::string name;
        std::string collection;
    };
    const Case cases[] = {
        {{"--help"}, WindowsAction::Help, "", "pictures.vlm"},
        {{"--version"}, WindowsAction::Version, "", "pictures.vlm"},
        {{"--set-wallpaper", "Sunset"}, WindowsAction::SetWallpaper, "Sunset", "pictures.vlm"},
        {{"--set-wallpaper", "", "D:\\a.vlm"}, WindowsAction::SetWallpaper, "", "D:\\a.vlm"},
        {{"--next-wallpaper"}, WindowsAction::NextWallpaper, "", "pictures.vlm"},
        {{"--next-wallpaper", "b.vlm"}, WindowsAction::NextWallpaper, "", "b.vlm"},
        // The window: "name" is the file it starts on.
        {{}, WindowsAction::Window, "", "pictures.vlm"},
        {{"D:\\\xE5\x9B\xBE.vlm"}, WindowsAction::Window, "D:\\\xE5\x9B\xBE.vlm", "pictures.vlm"},
        {{"--", "--help"}, WindowsAction::Window, "--help", "pictures.vlm"},
        {{"a.vlm", "b.vlm"}, WindowsAction::Usage, "", "pictures.vlm"},
        {{"--user-collection"}, WindowsAction::Window, "", "pictures.vlm"},
        {{"--user-collection", "a.vlm"}, WindowsAction::Usage, "", "pictures.vlm"},
        {{"--set-wallpaper"}, WindowsAction::Usage, "", "pictures.vlm"},
        {{"--set-wallpaper", "a", "b", "c"}, WindowsAction::Usage, "", "pictures.vlm"},
        {{"--next-wallpaper", "a", "b"}, WindowsAction::Usage, "", "pictures.vlm"},
        // The Linux program's rules: help and version win over files, a wallpaper option
        // anywhere owns the line but must come first, "--" ends the options.
        {{"a.vlm", "--version"}, WindowsAction::Version, "", "pictures.vlm"},
        {{"-h", "--bogus"}, WindowsAction::Help, "", "pictures.vlm"},
        {{"--bogus", "-h"}, WindowsAction::Usage, "", "pictures.vlm"},
        {{"--help", "--next-wallpaper"}, WindowsAction::Usage, "", "pictures.vlm"},
    };
    for (const Case& c : cases) {
        const WindowsCommandLine command = parseWindowsCommandLine(c.arguments);
        const std::string label = c.arguments.empty() ? "(none)" : c.arguments[0];
        EXPECT_EQ(command.action, c.action) << label;
        if (command.action == WindowsAction::Usage) {
            EXPECT_FALSE(command.problem.empty()) << label;
            continue;
        }
        EXPECT_EQ(command.action == WindowsAction::Window ? command.startFile.value_or("") : command.name, c.name)
            << label;
        EXPECT_EQ(command.collection, c.collection) << label;
    }
}

class ConsoleWallpaper : public ::testing::Test {
protected:
    void SetUp() override {
        // Nothing remembered and no wallpaper folder left by an earlier run.
        RegDeleteTreeW(HKEY_CURRENT_USER, L"software\\Velmora");
        std::error_code ignored;
        std::filesystem::remove_all(toUtf16(kWallpaperFolder), ignored);
        createCollection(collection, {{"Sunset", tools::syntheticJpeg(32, 24, 1)},
                                             {"\xE5\x9B\xBE\xE7\x89\x87 2", tools::syntheticJpeg(32, 24, 2)},
                                             {"Empty", {}}});
    }

    int run(const std::vector<std::string>& arguments) {
        out.str("");
        err.str("");
        return runWindowsCommandLine(parseWindowsCommandLine(arguments), system.platform(), out, err);
    }

    std::string wallpaperName() {
        const std::string path = platform::currentWallpaper();
        const std::size_t slash = path.find_last_of('\\');
        return path.substr(slash + 1, path.size() - slash - 5);  // without ".bmp"
    }

    test::TempDir dir;
    std::string collection = dir.file("pictures.vlm");
    platform::WindowsPlatform system;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ConsoleWallpaper, ByNameAndInTurnWithExitCodes) {
    EXPECT_EQ(run({"--set-wallpaper", "\xE5\x9B\xBE\xE7\x89\x87 2", collection}), kExitSuccess) << err.str();
    EXPECT_EQ(wallpaperName(), "\xE5\x9B\xBE\xE7\x89\x87 2");

    // Next after the remembered one; the record without a picture stops the turn.
    EXPECT_EQ(run({"--next-wallpaper", collection}), kExitFailure);
    EXPECT_EQ(err.str(), "velmora: \xE5\xBD\x93\xE5\x89\x8D\xE6\xB2\xA1\xE6\x9C\x89\xE5\x8F\xAF\xE4\xBD\x9C\xE4\xB8\xBA"
                         "\xE6\xA1\x8C\xE9\x9D\xA2\xE7\x9A\x84\xE5\x9B\xBE\xE7\x89\x87!\n");
    EXPECT_EQ(wallpaperName(), "\xE5\x9B\xBE\xE7\x89\x87 2");

    EXPECT_EQ(run({"--set-wallpaper", "Sunset", collection}), kExitSuccess) << err.str();
    EXPECT_EQ(run({"--next-wallpaper", collection}), kExitSuccess) << err.str();
    EXPECT_EQ(wallpaperName(), "\xE5\x9B\xBE\xE7\x89\x87 2");

    EXPECT_EQ(run({"--set-wallpaper", "Nobody", collection}), kExitFailure);
    EXPECT_EQ(err.str(), "velmora: No picture named \"Nobody\" in \"" + collection + "\"\n");
    EXPECT_EQ(run({"--set-wallpaper", "Sunset", dir.file("missing.vlm")}), kExitFailure);
    EXPECT_NE(err.str().find("velmora: "), std::string::npos);
    EXPECT_EQ(run({"--bogus"}), kExitUsage);
    EXPECT_EQ(err.str(), "velmora: unknown option '--bogus'\nTry 'velmora --help' for more information.\n");
    EXPECT_EQ(run({"--set-wallpaper"}), kExitUsage);
    EXPECT_EQ(err.str(), "velmora: usage: velmora --set-wallpaper NAME [FILE.vlm]\n");
    EXPECT_EQ(run({"--help"}), kExitSuccess);
    EXPECT_NE(out.str().find("--next-wallpaper"), std::string::npos);
}

// The fit mode reaches WallpaperStyle and TileWallpaper, which Windows reads when the
// wallpaper is applied; the settings stay under HKCU\Software\Velmora\Wallpaper. Wine's
// schtasks.exe makes no repeating task, so a recording runner stands in for it.
TEST_F(ConsoleWallpaper, SettingsAndTheTimerLandWhereWindowsKeepsThem) {
    auto desktopValue = [](const wchar_t* key, const wchar_t* name) {
        wchar_t data[64] = {};
        DWORD size = sizeof data;
        if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return std::string("<none>");
        return fromUtf16(std::wstring(data));
    };
    std::vector<std::vector<std::string>> calls;
    platform::TaskSchedulerTimer timer("C:\\Program Files\\Velmora\\velmora.exe", [&calls](const std::vector<std::string>& argv) {
        calls.push_back(argv);
        return true;
    });
    auto runWith = [&](const std::vector<std::string>& arguments) {
        err.str("");
        return runWindowsCommandLine(parseWindowsCommandLine(arguments), system.platform(), timer, out, err);
    };
    const std::pair<const char*, std::pair<const char*, const char*>> modes[] = {
        {"fill", {"10", "0"}}, {"fit", {"6", "0"}}, {"stretch", {"2", "0"}},
        {"center", {"0", "0"}}, {"tile", {"0", "1"}}, {"span", {"22", "0"}}};
    for (const auto& [mode, values] : modes) {
        EXPECT_EQ(runWith({"--fit", mode, "--set-wallpaper", "Sunset", collection}), kExitSuccess) << err.str();
        EXPECT_EQ(desktopValue(L"Control Panel\\Desktop", L"WallpaperStyle"), values.first) << mode;
        EXPECT_EQ(desktopValue(L"Control Panel\\Desktop", L"TileWallpaper"), values.second) << mode;
        EXPECT_EQ(desktopValue(L"Software\\Velmora\\Wallpaper", L"fit"), mode);
    }
    EXPECT_EQ(wallpaperName(), "Sunset");
    // Settings alone, then a shuffled rotation and a step back, as on Linux.
    EXPECT_EQ(runWith({"--order", "shuffle"}), kExitSuccess) << err.str();
    EXPECT_EQ(runWith({"--next-wallpaper", collection}), kExitSuccess) << err.str();
    EXPECT_EQ(wallpaperName(), "\xE5\x9B\xBE\xE7\x89\x87 2");
    EXPECT_EQ(runWith({"--previous-wallpaper", collection}), kExitSuccess) << err.str();
    EXPECT_EQ(wallpaperName(), "Sunset");

    EXPECT_EQ(runWith({"--rotate-every", "2h", "D:\\my pictures\\a.vlm"}), kExitSuccess) << err.str();
    EXPECT_EQ(runWith({"--pause-rotation"}), kExitSuccess) << err.str();
    EXPECT_EQ(runWith({"--rotate-every", "off"}), kExitSuccess) << err.str();
    EXPECT_EQ(runWith({"--rotate-every", "25h"}), kExitFailure);
    EXPECT_EQ(err.str(), "velmora: the Task Scheduler repeats by whole days above one day.\n");
    const std::string task = "Velmora\\Next wallpaper";
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0], (std::vector<std::string>{"schtasks.exe", "/Create", "/F", "/TN", task, "/SC", "MINUTE", "/MO", "120",
                                                  "/TR", "\"C:\\Program Files\\Velmora\\velmora.exe\" --next-wallpaper \"D:\\my pictures\\a.vlm\""}));
    EXPECT_EQ(calls[1], (std::vector<std::string>{"schtasks.exe", "/Change", "/TN", task, "/DISABLE"}));
    EXPECT_EQ(calls[2], (std::vector<std::string>{"schtasks.exe", "/Delete", "/F", "/TN", task}));
    EXPECT_EQ(desktopValue(L"Software\\Velmora\\Wallpaper", L"rotate-every"), "");  // empty: not chosen
}

TEST_F(ConsoleWallpaper, NextStartsAtTheFirstWhenNothingIsRemembered) {
    EXPECT_EQ(run({"--next-wallpaper", collection}), kExitSuccess) << err.str();
    EXPECT_EQ(wallpaperName(), "Sunset");
}

}  // namespace
}  // namespace velmora
