// Pictures left unread when a record is loaded: read from the front for their headers,
// whole when asked for, and never after the file has been closed.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "base/error.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

Bytes patterned(std::size_t size, int seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(seed));
    return bytes;
}

class DeferredBlob : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("pictures.vlm");
        createCollection(path, {{"big", patterned(300 * 1024, 1)}, {"small", patterned(10, 2)}});
        // A third record whose picture is null.
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, "INSERT INTO pictures (filename) VALUES ('none')", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    TempDir dir;
    std::string path;
};

TEST_F(DeferredBlob, APictureIsReadFromItsFrontNowAndWholeWhenAskedFor) {
    OpenStore s(path);
    s.query.activate();
    Field picture = s.query.fieldByName("picture");
    EXPECT_FALSE(picture.isNull());
    std::optional<DeferredBytes> deferred = picture.deferredBytes();
    ASSERT_TRUE(deferred);
    EXPECT_EQ(deferred->size, 300u * 1024);
    EXPECT_EQ(deferred->readFront(16), Bytes(patterned(16, 1)));
    EXPECT_EQ(*deferred->readWhole(), patterned(300 * 1024, 1));
    EXPECT_EQ(*picture.asBytes(), patterned(300 * 1024, 1));
    EXPECT_FALSE(picture.deferredBytes());  // read now: asBytes() has it

    s.query.next();
    ASSERT_TRUE(picture.deferredBytes());
    EXPECT_EQ(*picture.deferredBytes()->readWhole(), patterned(10, 2));
    s.query.next();
    EXPECT_TRUE(picture.isNull());
    EXPECT_FALSE(picture.deferredBytes());

    // A deferred read outliving its file fails cleanly.
    s.query.first();
    deferred = picture.deferredBytes();
    s.connection.close();
    EXPECT_THROW(deferred->readWhole(), Error);
    EXPECT_THROW(deferred->readFront(4), Error);
}

TEST_F(DeferredBlob, NeighboursAreReadByRowAndTheDataVersionFollowsWrites) {
    OpenStore s(path);
    s.query.activate();
    EXPECT_EQ(*s.query.blobAt(0, "picture"), patterned(300 * 1024, 1));
    EXPECT_EQ(*s.query.blobAt(1, "PICTURE"), patterned(10, 2));
    EXPECT_EQ(s.query.blobAt(2, "picture"), nullptr);  // null
    EXPECT_EQ(s.query.blobAt(3, "picture"), nullptr);  // no such row
    EXPECT_FALSE(s.query.rowidAt(-1));

    const PictureQuery::DataVersion opened = s.query.dataVersion();
    s.query.next();
    s.query.prior();
    EXPECT_EQ(s.query.dataVersion(), opened);  // moves change nothing
    s.query.edit();
    s.query.fieldByName("filename").setAsString("renamed");
    s.query.post();
    const PictureQuery::DataVersion written = s.query.dataVersion();
    EXPECT_FALSE(written == opened);

    // A commit by another connection.
    sqlite3* other = nullptr;
    sqlite3_open(path.c_str(), &other);
    sqlite3_exec(other, "UPDATE pictures SET filename='x' WHERE filename='small'", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_FALSE(s.query.dataVersion() == written);

    s.query.close();
    s.query.activate();
    EXPECT_FALSE(s.query.dataVersion() == written);  // reopened
}

}  // namespace
}  // namespace velmora::test
