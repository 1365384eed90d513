// Awkward names through every place where a path goes into another program's syntax,
// checked by that program's own parser where it runs here (systemd-analyze, a real
// headless sway, node for Plasma's JavaScript); and programs are started by full path.

#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/desktop_linux.h"
#include "platform/foreign_syntax.h"
#include "platform/process_runner.h"
#include "platform/rotation_timer_linux.h"
#include "tests/platform/headless_sway.h"
#include "tests/platform/private_path.h"
#include "tests/platform/xdg_sandbox.h"
#include "tests/support/build_paths.h"
#include "tests/wallpaper_cli/program_run.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace platform;

struct Name {
    const char* label;
    std::string text;
    bool plain;  // valid UTF-8 without control characters
};
const Name kNames[] = {{"line feed", "a\nb", false},     {"carriage return", "holiday\rExecStartPre=touch X\r", false},
                       {"escape", "a\x1b[0m", false},     {"C1 control", "a\xC2\x85", false},
                       {"not UTF-8", "caf\xE9", false},   {"two spaces", "a  b", true},
                       {"variable", "$x ${HOME}", true},  {"quotes", "it's \"q\"", true},
                       {"percent, backslash", "100% a\\x41", true}, {"CJK, one blank", "\xE6\xB5\xB7 1", true}};

class AwkwardNames : public ::testing::Test {
protected:
    // Services that record each program run and say it went well.
    DesktopServices recording() {
        DesktopServices services;
        services.environment = [](const char*) { return std::string(); };
        services.programOnPath = [](const std::string&) { return true; };
        services.run = [this](const std::vector<std::string>& argv) { return runs.push_back(argv), true; };
        services.capture = [](const std::vector<std::string>&) { return std::optional<std::string>("picture-filename"); };
        services.report = [this](const std::string& line) { reports.push_back(line); };
        return services;
    }
    std::string picture(const Name& name) const { return pictures + "/" + name.text + ".bmp"; }

    test::XdgSandbox sandbox;
    std::string pictures = sandbox.dir().file("pictures");
    std::vector<std::vector<std::string>> runs;
    std::vector<std::string> reports;
};

TEST_F(AwkwardNames, UnitFilesTakeThemAsSystemdReadsThemOrNothingIsWritten) {
    const std::string units = sandbox.dir().file("units"), program = sandbox.dir().file("$x  ${HOME} 100%/velmora");
    fs::create_directories(fs::path(program).parent_path());
    fs::copy_file("/bin/true", program);
    // systemd takes no quote or backslash in an executable's path.
    EXPECT_NE(SystemdRotationTimer(sandbox.dir().file("it's/velmora"), recording(), units).schedule(30, "/a.vlm"), "");
    for (const Name& name : kNames) {
        fs::remove_all(units);
        SystemdRotationTimer timer(program, recording(), units);
        const std::string problem = timer.schedule(30, sandbox.dir().file(name.text + ".vlm"));
        EXPECT_EQ(problem.empty(), name.plain) << name.label << ": " << problem;
        EXPECT_EQ(fs::exists(timer.serviceDropIn()), name.plain) << name.label;
        if (!name.plain || !programOnPath("systemd-analyze")) continue;
        // systemd finds the program by the path it reads back, and warns of nothing.
        for (const char* unit : {"velmora-next-wallpaper.service", "velmora-next-wallpaper.timer"})
            fs::copy_file(test::sourceDir() + "/data/systemd/" + unit, units + "/" + unit,
                          fs::copy_options::overwrite_existing);
        test::TempDir runtime;
        ::chmod(runtime.path().c_str(), 0700);
        test::ProgramRun verify = test::runProgramIn(
            units, {},
            {"systemd-analyze", "--user", "verify", units + "/velmora-next-wallpaper.service",
             units + "/velmora-next-wallpaper.timer"},
            {"XDG_RUNTIME_DIR=" + runtime.path().string()});
        EXPECT_EQ(verify.status, 0) << name.label << ": " << verify.errors;
        EXPECT_EQ(verify.errors, "") << name.label;
    }
}

TEST_F(AwkwardNames, SwayShowsEachPictureByItsOwnPathOrByALinkToIt) {
    test::PrivatePath programs;
    if (!programs.link("swaymsg")) GTEST_SKIP() << "swaymsg missing";
    fs::create_directories(pictures);
    fs::create_directories(sandbox.dir().file("data/velmora/sway"));
    test::HeadlessSway sway(sandbox.dir().file(""));
    if (std::string why = sway.start(); !why.empty()) GTEST_SKIP() << why;
    test::ScopedEnvironment socket("SWAYSOCK", sway.socket());
    for (const Name& name : kNames) {
        test::writeFile(picture(name), "BM");
        sway.forget();
        EXPECT_TRUE(setSwayWallpaper(picture(name), DesktopServices::system(), FitMode::Fit)) << name.label;
        const std::string shown = sway.lastSwaybg([](const std::string& last) { return !last.empty(); });
        std::smatch found;
        ASSERT_TRUE(std::regex_match(shown, found, std::regex("-o \\* -i (.*) -m fit"))) << name.label << ": " << shown;
        EXPECT_TRUE(fs::equivalent(found[1].str(), picture(name))) << name.label << ": " << shown;
    }
}

TEST_F(AwkwardNames, DesktopScriptsAndSettingsTakeThemEncodedOrCheckedFirst) {
    // Plasma's scripts name each picture by its URI, as a JavaScript engine reads them.
    std::string scripts = "function desktops() { return [{writeConfig: function (key, value) {"
                          " if (key == 'Image') console.log(value); }}]; }\n";
    std::string uris;
    for (const Name& name : kNames) {
        runs.clear();
        ASSERT_TRUE(setPlasmaWallpaper(picture(name), recording(), FitMode::Fill));
        scripts += "(function () {\n" + runs.back().back().substr(7) + "})();\n";  // after "string:"
        uris += fileUri(picture(name)) + "\n";
        // MATE's setting is a GVariant string: only plain text goes there.
        runs.clear();
        reports.clear();
        EXPECT_EQ(applyWallpaper(DesktopFamily::Mate, picture(name), recording()), name.plain) << name.label;
        EXPECT_EQ(runs.size(), name.plain ? 1u : 0u) << name.label;
        EXPECT_EQ(reports.size(), name.plain ? 0u : 1u) << name.label;
    }
    test::writeFile(sandbox.dir().file("scripts.js"), scripts);
    if (programOnPath("node")) {
        EXPECT_EQ(captureProgram({"node", sandbox.dir().file("scripts.js")}, std::chrono::seconds(10)), uris);
    }
    for (DesktopFamily family : {DesktopFamily::Gnome, DesktopFamily::Cinnamon, DesktopFamily::Mate, DesktopFamily::Xfce,
                                 DesktopFamily::Plasma, DesktopFamily::Lxqt, DesktopFamily::Lxde, DesktopFamily::Sway})
        EXPECT_EQ(foreignSyntaxPlace(*desktopSyntax(family)).syntax, *desktopSyntax(family));
}

TEST(ProgramStarts, ByFullPathFromAbsoluteFoldersOnlyAndOnlyThroughTheLaunchers) {
    // An empty or relative PATH entry never finds a program in the current folder.
    test::TempDir folder;
    test::writeFile(folder.file("velmora-planted"), "#!/bin/sh\ntouch planted\n");
    ::chmod(folder.file("velmora-planted").c_str(), 0755);
    const fs::path before = fs::current_path();
    fs::current_path(folder.path());
    for (const char* name : {"velmora-planted", "./velmora-planted"}) {
        test::ScopedEnvironment path("PATH", ":.:bin");
        EXPECT_FALSE(runProgram({name}, std::chrono::seconds(5)));
        EXPECT_FALSE(startProgram({name}));
    }
    fs::current_path(before);
    EXPECT_FALSE(fs::exists(folder.file("planted")));
    // No other file of the product starts a program (comments may name the calls).
    const std::string grep = "cd '" + test::sourceDir() + "' && grep -rnE 'CreateProcess|ShellExecute|WinExec|posix_spawn|"
                             "exec[lv]p?e?\\(|popen\\(|std::system\\(|QProcess|QDesktopServices' --include=*.cpp --include=*.h app base "
                             "browser cli platform qt_window store tools wallpaper win32_window | grep -vE "
                             "'^[^:]*:[0-9]+: *//' | cut -d: -f1 | sort -u";
    EXPECT_EQ(captureProgram({"sh", "-c", grep}, std::chrono::seconds(10)),
              "platform/process_runner.cpp\nplatform/system_programs_win32.cpp\n");
}

}  // namespace
}  // namespace velmora
