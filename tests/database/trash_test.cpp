// The trash in the collection file, walked through the store as the browser's commands
// use it (delete and cut keep the record, restore, the writes of an undo, emptying),
// with another program changing rows between the steps.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "store/database/collection_copy.h"
#include "store/database/picture_trash.h"
#include "store/database/row_check.h"
#include "tests/support/sqlite_peer.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

// Pictures large enough that emptying the trash shows in the file's size.
std::vector<CollectionRecord> largeRecords(const std::vector<std::string>& names) {
    std::vector<CollectionRecord> records;
    for (std::size_t i = 0; i < names.size(); ++i) {
        records.push_back({names[i], Bytes(300000 + i, static_cast<std::uint8_t>(i + 1))});
    }
    return records;
}

std::vector<std::string> trashNames(Connection& connection) {
    std::vector<std::string> names;
    for (const TrashedPicture& entry : PictureTrash(connection).list()) names.push_back(entry.name);
    return names;
}

std::int64_t fileSize(const std::string& path) { return static_cast<std::int64_t>(std::filesystem::file_size(path)); }

TEST(Trash, DeleteCutRestoreUndoAndEmptyWithAnotherProgramBetweenTheSteps) {
    TempDir dir;
    const std::string path = dir.file("pictures.vlm");
    createCollection(path, largeRecords({"A", "B", "C", "D", "E"}));
    const std::int64_t sizeAtStart = fileSize(path);
    SqlitePeer other(path);
    OpenStore s(path);
    s.query.activate();

    // Delete A: kept in the trash, the next record current, the others' rowids as they were.
    ASSERT_TRUE(s.query.moveToTrash());
    EXPECT_EQ(s.current(), "B");
    EXPECT_EQ(s.query.recordCount(), 4);
    EXPECT_FALSE(s.query.atStart() || s.query.atEnd());
    EXPECT_EQ(other.pictureRows(), (std::vector<std::string>{"2:B", "3:C", "4:D", "5:E"}));
    EXPECT_EQ(other.integer("SELECT length(picture) FROM velmora_trash WHERE filename = 'A'"), 300000);

    // Cut C (the same store step); the trash lists the newest first.
    s.query.next();
    std::optional<TrashEntry> cutC = s.query.moveToTrash();
    ASSERT_TRUE(cutC);
    EXPECT_EQ(s.current(), "D");
    EXPECT_EQ(trashNames(s.connection), (std::vector<std::string>{"C", "A"}));
    EXPECT_EQ(PictureTrash(s.connection).heldBytes(), 300000 + 300002 + 2);

    // Another program renames B; restoring A from the dialog still works: A comes back
    // as a new last record, current, with its bytes exactly as they were.
    other.exec("UPDATE pictures SET filename = 'B2' WHERE filename = 'B'");
    std::int64_t idOfA = PictureTrash(s.connection).list().back().id;
    s.query.restoreFromTrash(idOfA);
    EXPECT_EQ(s.current(), "A");
    EXPECT_EQ(s.query.recordCount(), 4);
    EXPECT_EQ(other.pictureRows(), (std::vector<std::string>{"2:B2", "4:D", "5:E", "6:A"}));
    EXPECT_EQ(other.integer("SELECT count(*) FROM pictures WHERE filename = 'A' AND typeof(picture) = 'blob' "
                            "AND length(picture) = 300000 AND replace(hex(picture), '01', '') = ''"),
              1);
    EXPECT_EQ(trashNames(s.connection), (std::vector<std::string>{"C"}));

    // Undo of a rename, then one whose row another program changed meanwhile.
    s.query.prior();
    s.query.prior();
    ASSERT_EQ(s.current(), "D");
    PictureQuery::RowIdentity before = *s.query.currentIdentity();
    s.query.edit();
    s.query.fieldByName("filename").setAsString("D-new");
    s.query.post();
    PictureQuery::RowIdentity renamed = *s.query.currentIdentity();
    s.query.renameRow(renamed, before.name);
    EXPECT_EQ(s.current(), "D");
    PictureQuery::RowIdentity again = *s.query.currentIdentity();
    other.exec("UPDATE pictures SET filename = 'D by another' WHERE filename = 'D'");
    EXPECT_EQ(messageOf([&] { s.query.renameRow(again, FieldValue{std::string("old")}); }), kRowChanged);
    EXPECT_EQ(other.integer("SELECT count(*) FROM pictures WHERE filename = 'D by another'"), 1);

    // Undo of an add moves the added picture to the trash; not when another program
    // replaced its bytes since.
    auto add = [&](const std::string& name, std::size_t size) {
        s.query.append();
        s.query.fieldByName("filename").setAsString(name);
        s.query.fieldByName("picture").writeBytes(shareBytes(Bytes(size, 7)));
        s.query.post();
        return *s.query.currentIdentity();
    };
    PictureQuery::RowIdentity addedF = add("F", 1000);
    s.query.moveRowToTrash(addedF);
    EXPECT_EQ(trashNames(s.connection), (std::vector<std::string>{"F", "C"}));
    EXPECT_EQ(other.integer("SELECT count(*) FROM pictures WHERE filename = 'F'"), 0);
    PictureQuery::RowIdentity addedG = add("G", 1000);
    other.exec("UPDATE pictures SET picture = zeroblob(10) WHERE filename = 'G'");
    EXPECT_EQ(messageOf([&] { s.query.moveRowToTrash(addedG); }), kRowChanged);
    EXPECT_EQ(other.integer("SELECT count(*) FROM pictures WHERE filename = 'G'"), 1);

    // Undo of the cut of C after another program took C out of the trash: nothing
    // changes; undo of the add of F while it is still as it was put there restores it.
    other.exec("UPDATE velmora_trash SET filename = 'C by another' WHERE filename = 'C'");
    const int count = s.query.recordCount();
    EXPECT_EQ(messageOf([&] { s.query.restoreFromTrash(cutC->id, *cutC); }), kRowChanged);
    EXPECT_EQ(s.query.recordCount(), count);
    EXPECT_EQ(trashNames(s.connection), (std::vector<std::string>{"F", "C by another"}));

    // Delete forever, then empty: the space goes back to the file system and every rowid
    // of `pictures` stays as a program reading it expects.
    s.query.first();
    ASSERT_TRUE(s.query.moveToTrash());
    const std::vector<std::string> rowsBefore = other.pictureRows();
    const std::int64_t sizeFull = fileSize(path);
    PictureTrash trash(s.connection);
    trash.deleteForever(trash.list().front().id);
    EXPECT_EQ(messageOf([&] { trash.deleteForever(-5); }), kRowChanged);
    trash.empty();
    EXPECT_TRUE(trash.list().empty());
    EXPECT_EQ(trash.heldBytes(), 0);
    const std::int64_t sizeEmptied = fileSize(path);
    EXPECT_LT(sizeEmptied, sizeFull - 2 * 300000) << sizeFull << " -> " << sizeEmptied;
    EXPECT_LT(sizeEmptied, sizeAtStart);
    EXPECT_EQ(other.pictureRows(), rowsBefore);
    EXPECT_EQ(integrityOf(path), "ok");
    EXPECT_FALSE(other.hasTable("velmora_keep_rowids"));

    // The query goes on over the same rows; a second emptying takes the quick way.
    s.query.first();
    ASSERT_TRUE(s.query.moveToTrash());
    const std::int64_t sizeAgain = fileSize(path);
    trash.empty();
    EXPECT_LT(fileSize(path), sizeAgain);
    EXPECT_EQ(other.integer("PRAGMA auto_vacuum"), 2);
    EXPECT_EQ(integrityOf(path), "ok");
}

TEST(Trash, OnlyADeleteThatKeepsThePictureMakesTheTable) {
    TempDir dir;
    const std::string path = dir.file("other.vlm");
    createCollection(path, namedRecords({"a", "b", "c"}));

    {
        // Opening, browsing, editing and a plain delete (the new-file command's) leave
        // the file of another program as it was made.
        OpenStore s(path);
        s.query.activate();
        s.query.next();
        s.query.edit();
        s.query.fieldByName("filename").setAsString("b2");
        s.query.post();
        s.query.remove();
        EXPECT_TRUE(PictureTrash(s.connection).list().empty());
        EXPECT_FALSE(SqlitePeer(path).hasTable("velmora_trash"));
    }
    {
        // A template copied for a new file and emptied record by record.
        const std::string copy = dir.file("new.vlm");
        copyCollection(path, copy);
        OpenStore s(copy);
        s.query.activate();
        s.connection.beginTransaction();
        while (s.query.recordCount() > 0) s.query.remove();
        s.connection.commit();
        EXPECT_FALSE(SqlitePeer(copy).hasTable("velmora_trash"));
    }
    {
        // A file opened read-only fails the delete as before and gains nothing.
        OpenStore s(path);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        s.connection.adopt(db);
        s.query.activate();
        EXPECT_EQ(messageOf([&] { s.query.moveToTrash(); }), "attempt to write a readonly database");
        EXPECT_EQ(s.current(), "a");
        EXPECT_EQ(s.query.recordCount(), 2);
        s.connection.close();
        EXPECT_FALSE(SqlitePeer(path).hasTable("velmora_trash"));
    }
    // The first delete that keeps its picture makes the table.
    OpenStore s(path);
    s.query.activate();
    ASSERT_TRUE(s.query.moveToTrash());
    EXPECT_EQ(trashNames(s.connection), (std::vector<std::string>{"a"}));
}

TEST(Trash, ATrashTableOfAnotherProgramWithExpressionsIsRefused) {
    TempDir dir;
    const std::string path = dir.file("hostile.vlm");
    createCollection(path, namedRecords({"a", "b"}));
    SqlitePeer(path).exec(
        "CREATE TABLE velmora_trash (id INTEGER PRIMARY KEY, filename, picture, deleted_at INTEGER, "
        "former_rowid INTEGER, big AS (printf('%.*c', 100000000, 'x')))");
    OpenStore s(path);
    s.query.activate();
    EXPECT_EQ(messageOf([&] { s.query.moveToTrash(); }),
              "The table 'velmora_trash' has generated columns; a picture data file holds a plain table");
    EXPECT_EQ(s.query.recordCount(), 2);
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"a", "b"}));
}

TEST(Trash, EmptyingKeepsRowidsAndWhatAnotherProgramNamedLikeItsHelper) {
    TempDir dir;
    const std::string path = dir.file("planted.vlm");
    createCollection(path, largeRecords({"a", "b", "c", "d", "e", "f"}));
    SqlitePeer other(path);
    other.exec("DELETE FROM pictures WHERE rowid IN (2, 4); CREATE TABLE notes (x); "
               "CREATE INDEX velmora_keep_rowids ON notes (x)");
    OpenStore s(path);
    s.query.activate();
    ASSERT_TRUE(s.query.moveToTrash());
    PictureTrash(s.connection).empty();
    EXPECT_EQ(other.pictureRows(), (std::vector<std::string>{"3:c", "5:e", "6:f"}));
    EXPECT_EQ(other.integer("SELECT count(*) FROM sqlite_schema WHERE name LIKE 'velmora_keep_rowids%'"), 1);
    EXPECT_EQ(other.integer("SELECT count(*) FROM sqlite_schema WHERE name = 'velmora_keep_rowids' AND tbl_name = 'notes'"), 1);
    EXPECT_EQ(integrityOf(path), "ok");
}

TEST(Trash, ColumnsAnotherProgramAddedComeBackWithTheRestore) {
    TempDir dir;
    const std::string path = dir.file("richer.vlm");
    sqlite3* made = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &made), SQLITE_OK);
    sqlite3_close(made);
    SqlitePeer(path).exec(
        "CREATE TABLE pictures (id INTEGER PRIMARY KEY, filename TEXT, picture BLOB, \"my note\" TEXT, "
        "rating INTEGER, thumb BLOB);"
        "INSERT INTO pictures (filename, picture, \"my note\", rating, thumb) VALUES "
        "('a', x'0102', 'sea', 5, x'FF00'), ('b', x'0304', NULL, 3, NULL), ('c', x'0506', 'hill', 1, x'01')");
    OpenStore s(path);
    s.query.activate();
    const std::optional<TrashEntry> a = s.query.moveToTrash();
    ASSERT_TRUE(a);
    s.query.moveToTrash();  // b
    s.query.restoreFromTrash(a->id, *a);
    const std::string row = "SELECT count(*) FROM pictures WHERE filename = 'a' AND \"my note\" = 'sea' AND "
                            "rating = 5 AND thumb = x'FF00'";
    EXPECT_EQ(SqlitePeer(path).integer(row), 1);
    EXPECT_EQ(SqlitePeer(path).integer("SELECT count(*) FROM velmora_trash_fields WHERE trash_id = " +
                                       std::to_string(a->id)),
              0);
    // A column dropped while the picture lay in the trash is simply left out.
    SqlitePeer(path).exec("ALTER TABLE pictures DROP COLUMN thumb");
    const std::int64_t b = PictureTrash(s.connection).list().front().id;
    s.query.restoreFromTrash(b);
    EXPECT_EQ(SqlitePeer(path).integer("SELECT count(*) FROM pictures WHERE filename = 'b' AND rating = 3 AND "
                                       "\"my note\" IS NULL"),
              1);
    // Deleting forever and emptying forget the kept values too.
    s.query.moveToTrash();
    PictureTrash(s.connection).deleteForever(PictureTrash(s.connection).list().front().id);
    s.query.moveToTrash();
    PictureTrash(s.connection).empty();
    EXPECT_EQ(SqlitePeer(path).integer("SELECT count(*) FROM velmora_trash_fields"), 0);
}

}  // namespace
}  // namespace velmora::test
