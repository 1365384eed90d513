// The wallpaper settings and the rotation timer from the command line: the built
// program on a temporary HOME, with a systemctl of the test's own on its PATH.

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/process_runner.h"
#include "tests/platform/xdg_sandbox.h"
#include "tests/support/build_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/wallpaper_cli/program_run.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class WallpaperSettingsCommandLine : public ::testing::Test {
protected:
    WallpaperSettingsCommandLine() {
        fs::create_directories(bin.path());
        // Records its arguments, one call a line; the user manager itself cannot run here.
        const std::string systemctl = bin.file("systemctl");
        test::writeFile(systemctl, "#!/bin/sh\necho \"$*\" >> '" + bin.file("systemctl.log") + "'\n");
        ::chmod(systemctl.c_str(), 0755);
    }

    test::ProgramRun velmora(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{test::velmoraProgram()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return test::runProgramIn(sandbox.dir().path().string(), {}, argv,
                                  {"PATH=" + bin.path().string(), "DISPLAY=", "WAYLAND_DISPLAY=", "XDG_CURRENT_DESKTOP="});
    }
    std::string settingsFile() const { return sandbox.dir().file("config/velmora/wallpaper.conf"); }
    std::string unitFolder() const { return sandbox.dir().file("config/systemd/user"); }
    std::string systemctlCalls() const {
        return fs::exists(bin.file("systemctl.log")) ? test::readFile(bin.file("systemctl.log")) : "";
    }

    test::XdgSandbox sandbox;
    test::TempDir bin;
};

TEST_F(WallpaperSettingsCommandLine, SettingsAreKeptUntilChangedAndWrongOnesChangeNothing) {
    test::ProgramRun run = velmora({"--fit", "tile", "--order", "shuffle", "--lock-screen", "same"});
    EXPECT_EQ(run.status, 0) << run.errors;
    const std::string header = "# Velmora's settings, written by velmora (see velmora --help).\n";
    EXPECT_EQ(test::readFile(settingsFile()), header + "fit = tile\nlock-screen = same\norder = shuffle\n");
    run = velmora({"--fit", "desktop", "--per-monitor", "on", "--lock-screen", "off"});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(test::readFile(settingsFile()), header + "order = shuffle\nper-monitor = on\n");

    struct Case {
        std::vector<std::string> arguments;
        std::string errors;
    };
    const Case wrong[] = {
        {{"--fit", "zoom"}, "velmora: usage: velmora --fit fill|fit|stretch|center|tile|span|desktop\n"},
        {{"--order"}, "velmora: usage: velmora --order in-turn|shuffle\n"},
        {{"--per-monitor", "yes"}, "velmora: usage: velmora --per-monitor on|off\n"},
        {{"--rotate-every", "0m"}, "velmora: usage: velmora --rotate-every DURATION|off [FILE.vlm] (DURATION such as "
                                   "30m, 2h, 1h30m)\n"},
        {{"--rotate-every", "30s"}, "velmora: usage: velmora --rotate-every DURATION|off [FILE.vlm] (DURATION such as "
                                    "30m, 2h, 1h30m)\n"},
        {{"--next-wallpaper", "--previous-wallpaper"},
         "velmora: one action at a time: '--previous-wallpaper' comes after another\n"},
        {{"--previous-wallpaper", "a.vlm", "b.vlm"}, "velmora: usage: velmora --previous-wallpaper [FILE.vlm]\n"},
        {{"--fit", "fill", "--bogus"}, "velmora: unknown option '--bogus'\n"},
        {{"--leave-out"}, "velmora: usage: velmora --leave-out NAME [FILE.vlm]\n"},
    };
    for (const Case& c : wrong) {
        run = velmora(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments[0];
        EXPECT_EQ(run.errors, c.errors);
    }
    EXPECT_EQ(test::readFile(settingsFile()), header + "order = shuffle\nper-monitor = on\n");

    // A damaged file is reported, and neither read as nothing nor written over.
    test::writeFile(settingsFile(), "fit = fill\nthis is no setting\n");
    run = velmora({"--fit", "span"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "velmora: The settings file \"" + settingsFile() +
                              "\" is damaged at line 2; it is left as it is.\n");
    test::writeFile(settingsFile(), "fit = sideways\n");
    run = velmora({"--order", "in-turn"});
    EXPECT_EQ(run.errors, "velmora: The wallpaper setting fit has a value this program cannot read: \"sideways\"; it is "
                          "left as it is.\n");
    EXPECT_EQ(test::readFile(settingsFile()), "fit = sideways\n");
}

TEST_F(WallpaperSettingsCommandLine, OnlyASmallRegularFileIsReadAndValuesAreQuotedShort) {
    const std::string file = settingsFile(), refused = "velmora: The settings file \"" + file + "\" ";
    fs::create_directories(fs::path(file).parent_path());
    std::string value(20, 'x');
    for (int i = 0; i < 30; ++i) value += "\u00e9";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { ::mkfifo(file.c_str(), 0600); }, refused + "is not a regular file; it is left as it is.\n"},
        {[&] { fs::create_directory(file); }, refused + "is not a regular file; it is left as it is.\n"},
        {[&] { test::writeFile(file, "fit = fill\n"), fs::resize_file(file, 1u << 30); },
         refused + "is larger than 64 KiB; it is left as it is.\n"},
        {[&] { test::writeFile(file, "fit = " + value + "\n"); },  // 40 characters quoted: 20 + 20 of 2 bytes
         "velmora: The wallpaper setting fit has a value this program cannot read: \"" + value.substr(0, 60) +
             "\u2026\"; it is left as it is.\n"},
    };
    for (const auto& [make, errors] : cases) {
        fs::remove_all(file);
        make();
        const test::ProgramRun run = velmora({"--fit", "span"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.errors, errors);
    }
    // A link to a file elsewhere is read through.
    fs::remove_all(file);
    test::writeFile(sandbox.dir().file("elsewhere.conf"), "fit = tile\n");
    fs::create_symlink(sandbox.dir().file("elsewhere.conf"), file);
    EXPECT_EQ(velmora({"--order", "shuffle"}).status, 0);
}

TEST_F(WallpaperSettingsCommandLine, RotateEveryWritesDropInsSystemdAcceptsAndOffRemovesThem) {
    test::ProgramRun run = velmora({"--rotate-every", "1h30m", "my 100% pictures.vlm"});
    EXPECT_EQ(run.status, 0) << run.errors;
    const std::string timer = unitFolder() + "/velmora-next-wallpaper.timer.d/velmora-interval.conf";
    const std::string service = unitFolder() + "/velmora-next-wallpaper.service.d/velmora-collection.conf";
    EXPECT_NE(test::readFile(timer).find("\nOnUnitActiveSec=\nOnUnitActiveSec=90min\n"), std::string::npos);
    EXPECT_NE(test::readFile(service).find("Environment=\"VELMORA_COLLECTION=" + sandbox.dir().path().string() +
                                           "/my 100%% pictures.vlm\"\n"),
              std::string::npos);
    EXPECT_EQ(systemctlCalls(), "--user daemon-reload\n--user enable velmora-next-wallpaper.timer\n"
                                "--user restart velmora-next-wallpaper.timer\n");
    EXPECT_NE(test::readFile(settingsFile()).find("rotate-every = 1h30m\n"), std::string::npos);

    // The installed units with these drop-ins, as systemd itself reads them.
    if (platform::programOnPath("systemd-analyze")) {
        for (const char* unit : {"velmora-next-wallpaper.service", "velmora-next-wallpaper.timer"})
            fs::copy_file(test::sourceDir() + "/data/systemd/" + unit, unitFolder() + "/" + unit);
        test::TempDir runtime;
        ::chmod(runtime.path().c_str(), 0700);
        test::ProgramRun verify = test::runProgramIn(
            sandbox.dir().path().string(), {},
            {"systemd-analyze", "--user", "verify", unitFolder() + "/velmora-next-wallpaper.service",
             unitFolder() + "/velmora-next-wallpaper.timer"},
            {"XDG_RUNTIME_DIR=" + runtime.path().string()});
        EXPECT_EQ(verify.status, 0) << verify.errors;
    }

    fs::remove(bin.file("systemctl.log"));
    EXPECT_EQ(velmora({"--pause-rotation"}).status, 0);
    EXPECT_EQ(velmora({"--resume-rotation"}).status, 0);
    run = velmora({"--rotate-every", "off"});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_FALSE(fs::exists(timer));
    EXPECT_FALSE(fs::exists(fs::path(service).parent_path()));
    EXPECT_EQ(systemctlCalls(), "--user disable --now velmora-next-wallpaper.timer\n"
                                "--user enable --now velmora-next-wallpaper.timer\n"
                                "--user disable --now velmora-next-wallpaper.timer\n--user daemon-reload\n");
    run = velmora({"--pause-rotation"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "velmora: rotation is off: there is nothing to pause (see --rotate-every)\n");
}

}  // namespace
}  // namespace velmora
