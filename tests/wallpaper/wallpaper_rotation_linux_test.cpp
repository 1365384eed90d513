// Rotation through a collection file as the timer runs it: every change opens the
// file afresh, as after a restart, on this machine's platform layer in a temporary
// HOME, with no desktop to take the picture.

#include <sqlite3.h>

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/error.h"
#include "platform/linux_platform.h"
#include "store/database/collection_file.h"
#include "tests/platform/xdg_sandbox.h"
#include "tools/synthetic_picture.h"
#include "wallpaper/wallpaper_rotation.h"

namespace velmora {
namespace {

class Rotation : public ::testing::Test {
protected:
    Rotation() {
        std::vector<CollectionRecord> records;
        for (const char* name : {"a", "b", "c", "d", "e"})
            records.push_back({name, tools::syntheticJpeg(16, 16, name[0])});
        createCollection(file, records);
    }

    static platform::DesktopServices noDesktop() {
        platform::DesktopServices services;
        services.environment = [](const char*) { return std::string(); };
        services.programOnPath = [](const std::string&) { return false; };
        return services;
    }

    std::string change(WallpaperStep step, const std::string& name = "") {
        platform::LinuxPlatform system(noDesktop());
        return changeWallpaper(file, WallpaperChoice{step, name}, settings, system.platform());
    }

    // Another program changing the collection between two changes.
    void sql(const std::string& statement) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }

    test::XdgSandbox sandbox;
    std::string file = sandbox.dir().file("pictures.vlm");
    WallpaperSettings settings;
};

TEST_F(Rotation, ShuffleShowsEachPictureOnceWhileAnotherProgramChangesTheCollection) {
    settings.order = RotationOrder::Shuffle;
    std::vector<std::string> shown{change(WallpaperStep::Next), change(WallpaperStep::Next)};
    // Renamed, deleted and added rows: the shown picture keeps its mark under its new name.
    std::string unshown;
    for (const char* name : {"a", "b", "c", "d", "e"})
        if (name != shown[0] && name != shown[1]) unshown = name;
    sql("UPDATE pictures SET filename = 'renamed' WHERE filename = '" + shown[0] + "';"
        "INSERT INTO pictures(filename, picture) SELECT 'f', picture || x'00' FROM pictures WHERE filename = '" +
        unshown + "';"
        "INSERT INTO pictures(filename, picture) SELECT 'g', picture || x'0000' FROM pictures WHERE filename = '" +
        unshown + "';"
        "DELETE FROM pictures WHERE filename = '" + unshown + "'");
    for (int i = 0; i < 4; ++i) shown.push_back(change(WallpaperStep::Next));

    std::set<std::string> round(shown.begin(), shown.end());
    EXPECT_EQ(round.size(), 6u) << "a picture came twice in one round";
    EXPECT_EQ(round.count("renamed"), 0u);
    EXPECT_EQ(round.count(unshown), 0u);
    EXPECT_EQ(round.count("f") + round.count("g"), 2u);

    // The next round starts with another picture than the one on show.
    EXPECT_NE(change(WallpaperStep::Next), shown.back());
}

TEST_F(Rotation, PreviousUndoesNextInEitherOrder) {
    EXPECT_EQ(change(WallpaperStep::Named, "b"), "b");
    EXPECT_EQ(change(WallpaperStep::Next), "c");
    EXPECT_EQ(change(WallpaperStep::Previous), "b");
    EXPECT_EQ(change(WallpaperStep::Previous), "a");
    EXPECT_EQ(change(WallpaperStep::Previous), "e");  // wraps round

    settings.order = RotationOrder::Shuffle;
    const std::string start = change(WallpaperStep::Named, "c");
    const std::string first = change(WallpaperStep::Next);
    const std::string second = change(WallpaperStep::Next);
    EXPECT_EQ(change(WallpaperStep::Previous), first);
    EXPECT_EQ(change(WallpaperStep::Previous), start);
    // What was stepped back over counts as not shown: the round goes on without repeats.
    std::set<std::string> rest;
    for (int i = 0; i < 4; ++i) rest.insert(change(WallpaperStep::Next));
    EXPECT_EQ(rest, (std::set<std::string>{"a", "b", "d", "e"}));
}

TEST_F(Rotation, PicturesLeftOutNeverComeUpAndThePicturesTableStaysAsItWas) {
    sqlite3* db = nullptr;
    auto snapshot = [&] {
        std::string rows;
        sqlite3_open(file.c_str(), &db);
        sqlite3_exec(db, "SELECT rowid, filename, hex(picture) FROM pictures ORDER BY rowid",
                     [](void* out, int, char** values, char**) {
                         *static_cast<std::string*>(out) += std::string(values[0]) + values[1] + values[2] + "\n";
                         return 0;
                     },
                     &rows, nullptr);
        sqlite3_close(db);
        return rows;
    };
    const std::string before = snapshot();
    setLeftOutOfRotation(file, "b", true);
    setLeftOutOfRotation(file, "d", true);
    EXPECT_EQ(change(WallpaperStep::Named, "a"), "a");
    EXPECT_EQ(change(WallpaperStep::Next), "c");
    EXPECT_EQ(change(WallpaperStep::Next), "e");
    EXPECT_EQ(change(WallpaperStep::Previous), "c");
    settings.order = RotationOrder::Shuffle;
    for (int i = 0; i < 9; ++i) EXPECT_EQ(std::set<std::string>({"a", "c", "e"}).count(change(WallpaperStep::Next)), 1u);
    EXPECT_EQ(snapshot(), before);

    setLeftOutOfRotation(file, "d", false);
    for (const char* name : {"a", "c", "e"}) setLeftOutOfRotation(file, name, true);
    EXPECT_EQ(change(WallpaperStep::Next), "d");
    setLeftOutOfRotation(file, "d", true);
    EXPECT_THROW(
        try { change(WallpaperStep::Next); } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Every picture of \"" + file + "\" is left out of rotation");
            throw;
        },
        Error);
    EXPECT_THROW(setLeftOutOfRotation(file, "nobody", true), Error);
}

TEST_F(Rotation, ALyingCachedKeyNeverKeepsAPictureOut) {
    setLeftOutOfRotation(file, "d", true);
    setLeftOutOfRotation(file, "e", true);
    change(WallpaperStep::Next);  // every picture's key cached
    // Another program gives c the cached key of d (left out), then of a, at c's own size.
    const auto lie = [&](int rowid) {
        sql("UPDATE velmora_picture_keys SET key = (SELECT key FROM velmora_picture_keys WHERE picture_rowid = " +
            std::to_string(rowid) + "), size = (SELECT length(picture) FROM pictures WHERE rowid = 3) "
            "WHERE picture_rowid = 3");
    };
    lie(4);
    std::set<std::string> shown;
    for (int i = 0; i < 6; ++i) shown.insert(change(WallpaperStep::Next));
    EXPECT_EQ(shown, (std::set<std::string>{"a", "b", "c"}));
    // Nor is c taken for a repeat of a in a shuffled round.
    lie(1);
    settings.order = RotationOrder::Shuffle;
    shown.clear();
    for (int i = 0; i < 6; ++i) shown.insert(change(WallpaperStep::Next));
    EXPECT_EQ(shown, (std::set<std::string>{"a", "b", "c"}));
}

}  // namespace
}  // namespace velmora
