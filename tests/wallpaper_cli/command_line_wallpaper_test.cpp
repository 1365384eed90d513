// velmora --set-wallpaper and --next-wallpaper end to end: the built program on a
// temporary HOME, its wallpaper taken by the X root window of a private Xvfb.

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/process_runner.h"
#include "platform/registry_linux.h"
#include "store/database/collection_file.h"
#include "tests/platform/xdg_sandbox.h"
#include "tests/support/build_paths.h"
#include "tests/support/xvfb_server.h"
#include "tests/wallpaper_cli/program_run.h"
#include "tools/synthetic_picture.h"
#include "wallpaper/wallpaper_rotation.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class CommandLineWallpaper : public ::testing::Test {
protected:
    void SetUp() override {
        if (!platform::programOnPath("Xvfb")) GTEST_SKIP() << "Xvfb missing";
        server = std::make_unique<test::XvfbServer>();
        createCollection(collection(), {{"a", tools::syntheticJpeg(64, 48, 1)},
                                               {"b b", tools::syntheticJpeg(48, 64, 2)},
                                               {"图片3", tools::syntheticJpeg(32, 32, 3)}});
    }

    std::string collection() const { return sandbox.dir().file("pictures.vlm"); }

    test::ProgramRun velmora(const std::vector<std::string>& arguments, const std::string& display) {
        std::vector<std::string> argv{test::velmoraProgram()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return test::runProgramIn(sandbox.dir().path().string(), {}, argv,
                                  {"DISPLAY=" + display, "WAYLAND_DISPLAY=", "XDG_CURRENT_DESKTOP=",
                                   "XDG_SESSION_DESKTOP=", "DESKTOP_SESSION=", "SWAYSOCK=", "KDE_FULL_SESSION="});
    }

    std::string remembered() {
        platform::LinuxRegistry registry(sandbox.hiveFile());
        return rememberedWallpaperName(registry);
    }

    std::vector<std::string> wallpaperFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(sandbox.driveC() + "/WINDOWS/Web/Wallpaper/myWallPaper"))
            names.push_back(entry.path().filename().string());
        return names;
    }

    test::XdgSandbox sandbox;
    std::unique_ptr<test::XvfbServer> server;
};

TEST_F(CommandLineWallpaper, NextWalksTheCollectionRoundAndSetPicksARecordByName) {
    for (const std::string expected : {"a", "b b", "图片3", "a"}) {
        test::ProgramRun run = velmora({"--next-wallpaper"}, server->display());
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(remembered(), expected);
        EXPECT_EQ(wallpaperFolder(), std::vector<std::string>{expected + ".bmp"});
        EXPECT_EQ(run.errors, "velmora: wallpaper set through X11 root window: " + sandbox.driveC() +
                                  "/WINDOWS/Web/Wallpaper/myWallPaper/" + expected + ".bmp\n");
    }
    test::ProgramRun run = velmora({"--set-wallpaper", "图片3", collection()}, server->display());
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(remembered(), "图片3");
    run = velmora({"--next-wallpaper", collection()}, server->display());
    EXPECT_EQ(remembered(), "a");
}

TEST_F(CommandLineWallpaper, FailuresSayWhatIsWrongAndExitNonZero) {
    createCollection(sandbox.dir().file("empty.vlm"));
    createCollection(sandbox.dir().file("blank.vlm"), {{"blank", tools::syntheticJpeg(8, 8)}});
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(sandbox.dir().file("blank.vlm").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE pictures SET picture = NULL", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string errors;
    };
    const std::string display = server->display();
    const Case cases[] = {
        {{"--set-wallpaper", "nobody"}, 1, "velmora: No picture named \"nobody\" in \"pictures.vlm\"\n"},
        {{"--next-wallpaper", "missing.vlm"}, 1,
         "velmora: Cannot open the picture data file \"missing.vlm\": unable to open database file.\n"},
        {{"--next-wallpaper", "empty.vlm"}, 1, "velmora: The picture data file \"empty.vlm\" holds no pictures.\n"},
        {{"--set-wallpaper", "blank", "blank.vlm"}, 1, "velmora: 当前没有可作为桌面的图片!\n"},
        {{"--set-wallpaper"}, 2, "velmora: usage: velmora --set-wallpaper NAME [FILE.vlm]\n"},
        {{"--set-wallpaper", "a", "pictures.vlm", "more"}, 2,
         "velmora: usage: velmora --set-wallpaper NAME [FILE.vlm]\n"},
        {{"--next-wallpaper", "a.vlm", "b.vlm"}, 2, "velmora: usage: velmora --next-wallpaper [FILE.vlm]\n"},
        {{"-style", "fusion", "--set-wallpaper", "a"}, 2,
         "velmora: --set-wallpaper and --next-wallpaper come first\nTry 'velmora --help' for more information.\n"},
    };
    for (const Case& c : cases) {
        test::ProgramRun run = velmora(c.arguments, display);
        EXPECT_EQ(run.status, c.status) << c.arguments[0] << " " << run.errors;
        EXPECT_EQ(run.errors, c.errors);
    }
    EXPECT_EQ(remembered(), "");
    EXPECT_FALSE(fs::exists(sandbox.driveC()));

    // Without any desktop the picture is still written and remembered, and the run fails.
    test::ProgramRun run = velmora({"--set-wallpaper", "a"}, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "velmora: wallpaper not handed to the desktop: no known desktop is running\n");
    EXPECT_EQ(remembered(), "a");
}

}  // namespace
}  // namespace velmora
