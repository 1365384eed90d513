// Two programs on one file: each locates its rows by what it read, so a row the other
// changed, removed or replaced under a reused rowid is never hit; and a value SQLite
// cannot bind is an error, never a null.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

const std::string kRowChanged =
    "Row cannot be located for updating. Some values may have been changed since it was last read.";

void appendPicture(PictureQuery& query, const std::string& name, std::size_t bytes) {
    query.append();
    query.fieldByName("filename").setAsString(name);
    query.fieldByName("picture").writeBytes(shareBytes(Bytes(bytes, 0x42)));
    query.post();
}

TEST(TwoInstances, AReusedRowidIsNotTakenForTheRowThatWasRead) {
    TempDir dir;
    std::string path = dir.file("p.vlm");
    createCollection(path, namedRecords({"A1", "A2", "A3"}));
    OpenStore a(path), b(path);
    a.query.activate();
    a.query.last();
    ASSERT_EQ(a.current(), "A3");  // shown, so read

    // B deletes the last row and adds a picture: SQLite gives it the freed rowid 3.
    b.query.activate();
    b.query.last();
    b.query.remove();
    appendPicture(b.query, "B-new", 64);
    ASSERT_EQ(namesInFile(path), (std::vector<std::string>{"A1", "A2", "B-new"}));

    EXPECT_EQ(messageOf([&] { a.query.remove(); }), kRowChanged);
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"A1", "A2", "B-new"}));
    EXPECT_EQ(a.query.recordCount(), 3);

    a.query.edit();
    a.query.fieldByName("filename").setAsString("renamed by A");
    EXPECT_EQ(messageOf([&] { a.query.post(); }), kRowChanged);
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"A1", "A2", "B-new"}));

    // The cursor is still usable: the edit was dropped, moves and deletes work.
    EXPECT_EQ(a.query.state(), DatasetState::Browse);
    a.query.prior();
    EXPECT_EQ(a.current(), "A2");
    a.query.remove();
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"A1", "B-new"}));
}

TEST(TwoInstances, RowsTheOtherRemovedOrRenamedCannotBeLocated) {
    TempDir dir;
    std::string path = dir.file("p.vlm");
    createCollection(path, namedRecords({"R1", "R2", "R3", "R4"}));
    OpenStore a(path), b(path);
    a.query.activate();
    a.query.next();
    ASSERT_EQ(a.current(), "R2");
    b.query.activate();
    b.query.next();
    b.query.remove();  // R2, behind A's back

    // A rename of the removed row changes nothing and leaves A browsing.
    a.query.edit();
    a.query.fieldByName("filename").setAsString("x");
    EXPECT_EQ(messageOf([&] { a.query.post(); }), kRowChanged);
    EXPECT_EQ(a.query.state(), DatasetState::Browse);
    // A delete of it does not "succeed": the count stays.
    EXPECT_EQ(messageOf([&] { a.query.remove(); }), kRowChanged);
    EXPECT_EQ(a.query.recordCount(), 4);
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"R1", "R3", "R4"}));

    // B renames R3 after A read it: A's rename of R3 would overwrite B's name.
    a.query.next();
    ASSERT_EQ(a.current(), "R3");
    b.query.edit();
    b.query.fieldByName("filename").setAsString("B's name");
    b.query.post();
    a.query.edit();
    a.query.fieldByName("filename").setAsString("A's name");
    EXPECT_EQ(messageOf([&] { a.query.post(); }), kRowChanged);
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"R1", "B's name", "R4"}));

    // Once A reads the row again it sees B's name, and its own change then goes through.
    EXPECT_EQ(a.current(), "B's name");
    a.query.edit();
    a.query.fieldByName("filename").setAsString("A's name");
    a.query.post();
    a.query.next();
    a.query.remove();  // R4, read by nobody before: located by what it is now
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"R1", "A's name"}));
}

TEST(TwoInstances, AValueOverTheLengthLimitIsAnErrorNotANull) {
    TempDir dir;
    std::string path = dir.file("p.vlm");
    createCollection(path, namedRecords({"a"}));
    OpenStore s(path);
    s.query.activate();
    sqlite3_limit(s.connection.handle(), SQLITE_LIMIT_LENGTH, 1000);
    EXPECT_EQ(messageOf([&] { appendPicture(s.query, "too big", 2000); }), "string or blob too big");
    EXPECT_EQ(s.query.state(), DatasetState::Insert);  // the pending record is kept
    EXPECT_EQ(namesInFile(path), std::vector<std::string>{"a"});
    s.query.fieldByName("picture").writeBytes(shareBytes(Bytes(500, 1)));
    s.query.post();
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"a", "too big"}));
}

}  // namespace
}  // namespace velmora::test
