// Wallpaper changes at once, each with a platform of its own as two processes have:
// they take turns, and a turn is waited for only so long.
#include <sqlite3.h>

#include <filesystem>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "base/error.h"
#include "platform/linux_platform.h"
#include "store/database/collection_file.h"
#include "store/database/sqlite_database.h"
#include "tests/platform/xdg_sandbox.h"
#include "tools/synthetic_picture.h"
#include "wallpaper/rotation_state.h"
#include "wallpaper/wallpaper_rotation.h"

namespace velmora {
namespace {

TEST(WallpaperChangesAtOnce, TakeTurnsSoEachMarksThePictureItLeftOnScreen) {
    test::XdgSandbox sandbox;
    const std::string file = sandbox.dir().file("pictures.vlm");
    std::vector<CollectionRecord> records;
    for (char name = 'a'; name < 'i'; ++name) records.push_back({{name}, tools::syntheticJpeg(16, 16, name)});
    createCollection(file, records);
    WallpaperSettings shuffled;
    shuffled.order = RotationOrder::Shuffle;
    platform::DesktopServices noDesktop;
    noDesktop.environment = [](const char*) { return std::string(); };
    noDesktop.programOnPath = [](const std::string&) { return false; };
    std::vector<std::string> shown[2];
    auto fourChanges = [&](int who) {
        platform::LinuxPlatform system(noDesktop);
        for (int i = 0; i < 4; ++i) try {
                shown[who].push_back(changeWallpaper(file, {WallpaperStep::Next, ""}, shuffled, system.platform()));
            } catch (const Error& e) {
                shown[who].push_back(e.what());
            }
    };
    std::thread other(fourChanges, 1);
    fourChanges(0);
    other.join();
    // Eight pictures in a round of eight: each change saw the marks of the one before.
    std::set<std::string> round(shown[0].begin(), shown[0].end());
    round.insert(shown[1].begin(), shown[1].end());
    EXPECT_EQ(round, (std::set<std::string>{"a", "b", "c", "d", "e", "f", "g", "h"}));
    // Eight marks, the latest for the remembered picture, the folder's one file.
    platform::LinuxPlatform system(noDesktop);
    const std::string last = rememberedWallpaperName(system.registry());
    const std::filesystem::path folder = sandbox.driveC() + "/WINDOWS/Web/Wallpaper/myWallPaper";
    EXPECT_EQ(std::filesystem::directory_iterator(folder)->path(), folder / (last + ".bmp"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    SqliteDatabase database(db);
    RotationState state(database);
    EXPECT_EQ(state.latestShown(20).size(), 8u);
    EXPECT_EQ(state.latestShown(1).at(0).key, state.keysOf({last[0] - 'a' + 1}).at(0));
    sqlite3_close(db);

    // While another change holds the lock, this one gives up after its bound and changes nothing.
    platform::UserChangeLock holder("wallpaper"), impatient("wallpaper", std::chrono::milliseconds(200));
    ASSERT_TRUE(holder.acquire());
    platform::Platform waiting = system.platform();
    waiting.wallpaperLock = &impatient;
    try {
        changeWallpaper(file, {WallpaperStep::Next, ""}, shuffled, waiting);
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Another wallpaper change is still running after 200 ms: the wallpaper was not changed");
    }
    EXPECT_EQ(rememberedWallpaperName(system.registry()), last);
}

}  // namespace
}  // namespace velmora
