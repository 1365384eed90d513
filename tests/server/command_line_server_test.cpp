// The command line and the program's own tables on a server: copies keep the trash and
// the marks, the tables are checked and written safely, the options log in from the keyring.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "cli/collection_check.h"
#include "cli/collection_transfer.h"
#include "cli/maintenance_cli.h"
#include "cli/wallpaper_run.h"
#include "platform/linux_platform.h"
#include "platform/registry_linux.h"
#include "store/database/connection.h"
#include "store/database/picture_digests.h"
#include "store/database/picture_query.h"
#include "store/database/picture_trash.h"
#include "store/database/sql_statement.h"
#include "store/server/open_collection.h"
#include "tests/platform/xdg_sandbox.h"
#include "tests/support/fake_wallpaper_settings.h"
#include "tests/support/memory_keyring.h"
#include "tests/support/test_server.h"
#include "tools/synthetic_picture.h"
#include "wallpaper/wallpaper_rotation.h"

namespace velmora::test {
namespace {

// Runs a statement on a file or server collection: its first value, "" when none.
std::string valueIn(const std::string& place, const std::string& sql) {
    Connection connection;
    connection.setConnectionString("Data Source=" + place);
    connection.open();
    SqlStatement statement(connection.database(), sql);
    return statement.step() ? statement.text(0) : "";
}

// Moves the last picture into the trash, or restores the newest entry, as the window does.
void useTrash(const std::string& place, bool restore) {
    Connection connection;
    connection.setConnectionString("Data Source=" + place);
    PictureQuery query(connection);
    query.open();
    query.last();
    restore ? query.restoreFromTrash(PictureTrash(connection).list().at(0).id) : void(query.moveToTrash());
}

TEST(CopyCollection, TheTrashAndTheMarksGoToTheServerAndBack) {
    VELMORA_REQUIRE_SERVER(server);
    TempDir dir;
    ServerDatabase database(*server);
    const std::string file = dir.file("album.vlm"), back = dir.file("back.vlm");
    startCollection(file, {{"filename", ColumnKind::Text}, {"picture", ColumnKind::Bytes},
                           {"rating", ColumnKind::Integer}, {"thumb", ColumnKind::Bytes}})->finish();
    std::unique_ptr<CollectionStore> store = openCollection(file);  // keeps each picture's digest
    for (char name : std::string("abc")) store->add({name}, shareBytes(tools::syntheticJpeg(16, 16, name)));
    valueIn(file, "UPDATE pictures SET rating = 30, thumb = x'00ff' WHERE filename = 'c'");
    setLeftOutOfRotation(file, "b", true);
    useTrash(file, false);
    std::ostringstream out, err;
    ASSERT_EQ(copyCollectionTo(file, database.address(), out, err, false), 0) << err.str();
    ASSERT_EQ(copyCollectionTo(database.address(), back, out, err, false), 0) << err.str();
    const std::string marks = "SELECT group_concat(key || left_out) FROM velmora_rotation";
    EXPECT_EQ(valueIn(back, marks), valueIn(file, marks));
    EXPECT_EQ(valueIn(back, "SELECT count(*) FROM velmora_digests d JOIN pictures p ON p.rowid = d.picture_rowid"
                            " AND p.filename = d.filename"), "2");

    // On the server the trash numbers on after the copied entry, and every kept value comes
    // back with its column's type, a time too; in the file as well.
    database.run("ALTER TABLE pictures ADD taken timestamptz; UPDATE pictures SET taken = '2024-02-29 13:14:15.5+00'");
    useTrash(database.address(), false);
    useTrash(database.address(), true);
    useTrash(database.address(), true);
    EXPECT_EQ(database.run("SELECT string_agg(concat_ws(' ', filename, rating, pg_typeof(rating), thumb,"
                           " taken = '2024-02-29 13:14:15.5+00'), ',' ORDER BY filename) FROM pictures"),
              "a bigint t,b bigint t,c 30 bigint \\x00ff");
    useTrash(back, true);
    EXPECT_EQ(valueIn(back, "SELECT filename || rating || typeof(rating) || hex(thumb) || typeof(thumb) FROM pictures "
                            "WHERE rowid = 3"), "c30integer00FFblob");

    // A trash left in a database would be taken for a new collection's: refused.
    database.run("DROP TABLE pictures");
    EXPECT_EQ(copyCollectionTo(file, database.address(), out, err, false), 1);
    EXPECT_NE(err.str().find("holds a table velmora_trash already"), std::string::npos) << err.str();
}

TEST(ServerOwnTables, AColumnOfAnotherTypeIsRefusedAndAFailedDigestWriteLosesNothing) {
    VELMORA_REQUIRE_SERVER(server);
    ServerDatabase database(*server);
    // Tables another program made: a trash column of another type, a digest column no write fills.
    database.run("CREATE TABLE pictures (filename text, picture bytea, velmora_key bigint GENERATED ALWAYS AS IDENTITY"
                 " PRIMARY KEY); CREATE TABLE velmora_trash (id bigint PRIMARY KEY, filename text, picture bytea,"
                 " deleted_at text, former_rowid bigint); CREATE TABLE velmora_digests (picture_rowid bigint PRIMARY"
                 " KEY, filename text, length bigint, sha256 bytea, note text NOT NULL)");
    const CollectionCheck check = checkCollection(database.address());
    ASSERT_EQ(check.problems.size(), 1u);
    EXPECT_NE(check.problems[0].what.find("declares the column 'deleted_at' otherwise than as BIGINT"), std::string::npos);
    Connection connection;
    connection.setConnectionString("Data Source=" + database.address());
    connection.open();
    connection.beginTransaction();
    SqlStatement(connection.database(), "INSERT INTO pictures (filename, picture) VALUES ('a', '\\x01')").run();
    rememberDigest(connection, 1, Bytes{1});  // the first key the table gives
    connection.commit();
    EXPECT_EQ(database.run("SELECT count(*) FROM pictures"), "1");
}

TEST(CommandLineOnServer, TakesThePasswordFromTheKeyringAndRotatesInTheServerDatabase) {
    VELMORA_REQUIRE_SERVER(server);
    XdgSandbox sandbox;
    ServerDatabase database(*server);
    std::unique_ptr<NewCollection> made = startCollection(database.address(), {{"filename"}, {"picture", ColumnKind::Bytes}});
    for (char name : std::string("abc")) made->insert({{std::string{name}}, {shareBytes(tools::syntheticJpeg(16, 16, name))}});
    made->finish();
    const std::string role = "walls_" + database.name(), address = database.addressFor(role);
    database.run("CREATE ROLE " + role + " LOGIN PASSWORD 'kept-one'; ALTER TABLE pictures OWNER TO " + role +
                 "; GRANT CREATE ON SCHEMA public TO " + role);
    std::ostringstream report, errors;
    MemoryKeyring keyring;
    keyring.kept = "kept-one";
    EXPECT_EQ(runMaintenance(parseMaintenanceOptions({"--check", address}), report, errors, &keyring), 0) << report.str();
    platform::DesktopServices noDesktop;
    noDesktop.environment = [](const char*) { return std::string(); };
    noDesktop.programOnPath = [](const std::string&) { return false; };
    platform::LinuxPlatform system(noDesktop);
    MemoryWallpaperSettings settings;
    auto wallpaper = [&](const std::vector<std::string>& arguments) {
        WallpaperRunServices services{system.platform(), settings.store, settings.timer, [] { return true; },
                                      [](const std::string& path) { return path; }};
        EXPECT_EQ(runWallpaperOptions(parseWallpaperOptions(arguments), services, errors, &keyring), 0) << errors.str();
        platform::LinuxRegistry registry(sandbox.hiveFile());
        return rememberedWallpaperName(registry);
    };
    // Shuffled, each run shows a picture the round has not shown yet: the round is the server's.
    const std::string first = wallpaper({"--order", "shuffle", "--next-wallpaper", address});
    const std::string second = wallpaper({"--next-wallpaper", address});
    EXPECT_EQ((std::set<std::string>{first, second, wallpaper({"--next-wallpaper", address})}),
              (std::set<std::string>{"a", "b", "c"}));
    EXPECT_EQ(database.run("SELECT count(*) FROM velmora_rotation_history"), "3");
    EXPECT_EQ(wallpaper({"--previous-wallpaper", address}), second);
}

}  // namespace
}  // namespace velmora::test
