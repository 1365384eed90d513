// The program's own tables on a server and in a copy: the trash and the rotation marks
// travel with --copy-collection both ways, and a value kept with a trashed picture
// comes back with its own type.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sstream>

#include "cli/collection_check.h"
#include "cli/collection_transfer.h"
#include "store/database/connection.h"
#include "store/database/picture_digests.h"
#include "store/database/picture_query.h"
#include "store/database/picture_trash.h"
#include "store/database/sql_database.h"
#include "store/server/open_collection.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_server.h"
#include "tools/synthetic_picture.h"
#include "wallpaper/wallpaper_rotation.h"

namespace velmora::test {
namespace {

// The first value of a statement on a file, as text.
std::string fileValue(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    std::string value = "<error>";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
        const unsigned char* text = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_text(statement, 0) : nullptr;
        value = text ? reinterpret_cast<const char*>(text) : "<none>";
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
}

// Moves the last picture of the collection into its trash, or restores the trash's
// newest entry, as the window does.
void trashLastPicture(const std::string& place) {
    Connection connection;
    connection.setConnectionString("Data Source=" + place);
    PictureQuery query(connection);
    query.open();
    query.last();
    ASSERT_TRUE(query.moveToTrash());
}

void restoreNewestFromTrash(const std::string& place) {
    Connection connection;
    connection.setConnectionString("Data Source=" + place);
    PictureQuery query(connection);
    query.open();
    query.restoreFromTrash(PictureTrash(connection).list().at(0).id);
}

TEST(CopyCollection, TheTrashAndTheMarksGoToTheServerAndBack) {
    VELMORA_REQUIRE_SERVER(server);
    TempDir dir;
    ServerDatabase database(*server);
    const std::string file = dir.file("album.vlm"), back = dir.file("back.vlm");
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE pictures (filename TEXT, picture BLOB, rating INTEGER, thumb BLOB)", nullptr, nullptr,
                 nullptr);
    sqlite3_close(db);
    {
        std::unique_ptr<CollectionStore> store = openCollection(file);  // keeps each picture's digest
        for (int i = 0; i < 3; ++i) store->add(std::string(1, static_cast<char>('a' + i)), shareBytes(tools::syntheticJpeg(16, 16, i)));
    }
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "UPDATE pictures SET rating = 30, thumb = x'00ff' WHERE filename = 'c'", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    setLeftOutOfRotation(file, "b", true);
    trashLastPicture(file);

    std::ostringstream out, err;
    ASSERT_EQ(copyCollectionTo(file, database.address(), out, err, false), 0) << err.str();
    ASSERT_EQ(copyCollectionTo(database.address(), back, out, err, false), 0) << err.str();
    EXPECT_EQ(database.run("SELECT count(*) FROM velmora_trash WHERE former_rowid IS NULL"), "1");
    const std::string marks = "SELECT group_concat(key || ':' || left_out) FROM velmora_rotation";
    EXPECT_EQ(fileValue(back, marks), fileValue(file, marks));
    // Each digest names its picture under the key the copy gave it.
    EXPECT_EQ(fileValue(back, "SELECT count(*) FROM velmora_digests d JOIN pictures p ON p.rowid = d.picture_rowid "
                              "AND p.filename = d.filename AND length(p.picture) = d.length"),
              "2");

    // The trash numbers on after the entries copied, and gives the picture back with its
    // columns, typed as they were, on both.
    trashLastPicture(database.address());
    restoreNewestFromTrash(database.address());
    restoreNewestFromTrash(database.address());
    EXPECT_EQ(database.run("SELECT filename || rating || pg_typeof(rating) || encode(thumb, 'hex') FROM pictures "
                           "WHERE filename = 'c'"),
              "c30bigint00ff");
    restoreNewestFromTrash(back);
    EXPECT_EQ(fileValue(back, "SELECT filename || rating || typeof(rating) || hex(thumb) || typeof(thumb) FROM "
                              "pictures WHERE rowid = 3"),
              "c30integer00FFblob");

    // A trash already in the database would be taken for the new collection's: refused.
    ServerDatabase second(*server);
    second.run("CREATE TABLE velmora_trash (id bigint)");
    EXPECT_EQ(copyCollectionTo(file, second.address(), out, err, false), 1);
    EXPECT_NE(err.str().find("holds a table velmora_trash already"), std::string::npos) << err.str();
}

TEST(ServerTrash, AValueKeptWithAPictureComesBackAsItsColumnsType) {
    VELMORA_REQUIRE_SERVER(server);
    ServerDatabase database(*server);
    struct Case {
        const char* type;
        const char* value;
    };
    const Case cases[] = {{"integer", "42"},           {"bytea", "'\\x00ff'"},
                          {"timestamp with time zone", "'2024-02-29 13:14:15.5+00'"},
                          {"numeric(6,2)", "12.50"},    {"double precision", "0.1"},
                          {"boolean", "true"},          {"integer[]", "'{1,2}'"}};
    std::string columns, names, values;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string name = "c" + std::to_string(i);
        columns += ", " + name + " " + cases[i].type;
        names += ", " + name;
        values += std::string(", ") + cases[i].value;
    }
    database.run("CREATE TABLE pictures (filename text, picture bytea" + columns +
                 ", velmora_key bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY)");
    database.run("INSERT INTO pictures (filename, picture" + names + ") VALUES ('a', '\\xffd8'" + values + ")");
    const std::string row = "SELECT format('%s', (filename, picture" + names + ")) FROM pictures";
    const std::string before = database.run(row);
    trashLastPicture(database.address());
    EXPECT_EQ(database.run("SELECT count(*) FROM pictures"), "0");
    restoreNewestFromTrash(database.address());
    EXPECT_EQ(database.run(row), before);
}

TEST(ServerDigests, AFailedDigestWriteNeverLosesTheCommandsOwnWrite) {
    VELMORA_REQUIRE_SERVER(server);
    ServerDatabase database(*server);
    // A digest table another program made, whose extra column no digest write fills.
    database.run("CREATE TABLE pictures (filename text, picture bytea, velmora_key bigint GENERATED ALWAYS AS "
                 "IDENTITY PRIMARY KEY); CREATE TABLE velmora_digests (picture_rowid bigint PRIMARY KEY, "
                 "filename text, length bigint, sha256 bytea, note text NOT NULL)");
    Connection connection;
    connection.setConnectionString("Data Source=" + database.address());
    connection.open();
    connection.beginTransaction();
    connection.database().exec("INSERT INTO pictures (filename, picture) VALUES ('a', '\\x01')");
    rememberDigest(connection, 1, Bytes{1});  // the first key the table gives
    connection.commit();
    EXPECT_EQ(database.run("SELECT count(*) FROM pictures"), "1");
}

TEST(ServerOwnTables, AColumnOfAnotherTypeIsRefusedAsInAFile) {
    VELMORA_REQUIRE_SERVER(server);
    const struct {
        std::string create, says;
    } cases[] = {
        {"CREATE TABLE velmora_trash (id bigint PRIMARY KEY, filename text, picture bytea, deleted_at text,"
         " former_rowid bigint)",
         "declares the column 'deleted_at' otherwise than as BIGINT"},
        {"CREATE TABLE velmora_rotation (key text PRIMARY KEY, left_out integer NOT NULL, shown_round bigint)",
         "declares the column 'left_out' otherwise than as BIGINT"},
        {"CREATE TABLE velmora_digests (picture_rowid bigint PRIMARY KEY, filename text, length bigint, sha256 text)",
         "declares the column 'sha256' otherwise than as BYTEA"},
    };
    for (const auto& c : cases) {
        ServerDatabase database(*server);
        database.run("CREATE TABLE pictures (filename text, picture bytea, velmora_key bigint GENERATED ALWAYS AS "
                     "IDENTITY PRIMARY KEY); " + c.create);
        const CollectionCheck check = checkCollection(database.address());
        ASSERT_EQ(check.problems.size(), 1u) << c.create;
        EXPECT_NE(check.problems[0].what.find(c.says), std::string::npos) << check.problems[0].what;
    }
}

}  // namespace
}  // namespace velmora::test
