// The record cursor: flags, current record and notifications for each operation.
#include <gtest/gtest.h>

#include "base/error.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

class Cursor : public ::testing::Test {
protected:
    std::string file(const std::vector<std::string>& names) {
        std::string path = dir.file("pictures.vlm");
        createCollection(path, namedRecords(names));
        return path;
    }
    TempDir dir;
};

#define EXPECT_CURSOR(store, name, start, end) \
    do {                                        \
        EXPECT_EQ((store).current(), name);     \
        EXPECT_EQ((store).query.atStart(), start); \
        EXPECT_EQ((store).query.atEnd(), end);  \
    } while (0)

TEST_F(Cursor, ThreeRecordWalkSetsFlagsOnlyWhenAMoveRunsOut) {
    OpenStore s(file({"R1", "R2", "R3"}));
    s.query.activate();
    EXPECT_EQ(s.notifications, 1);
    EXPECT_CURSOR(s, "R1", true, false);
    s.query.next();
    EXPECT_CURSOR(s, "R2", false, false);
    s.query.next();
    EXPECT_CURSOR(s, "R3", false, false);
    s.query.next();
    EXPECT_CURSOR(s, "R3", false, true);
    EXPECT_EQ(s.notifications, 4);
    s.query.next();  // blocked by its flag: nothing at all
    EXPECT_CURSOR(s, "R3", false, true);
    EXPECT_EQ(s.notifications, 4);
    s.query.prior();
    EXPECT_CURSOR(s, "R2", false, false);
    s.query.prior();
    EXPECT_CURSOR(s, "R1", false, false);
    s.query.prior();
    EXPECT_CURSOR(s, "R1", true, false);
    s.query.prior();
    EXPECT_EQ(s.notifications, 7);
}

TEST_F(Cursor, OneRecordFile) {
    OpenStore s(file({"only"}));
    s.query.activate();
    EXPECT_CURSOR(s, "only", true, false);
    s.query.next();
    EXPECT_CURSOR(s, "only", false, true);
    int before = s.notifications;
    s.query.next();
    EXPECT_EQ(s.notifications, before);
    s.query.prior();
    EXPECT_CURSOR(s, "only", true, false);
}

TEST_F(Cursor, EmptyFileOpensWithBothFlagsAndNoRecord) {
    OpenStore s(file({}));
    s.query.activate();
    EXPECT_EQ(s.notifications, 1);
    EXPECT_TRUE(s.query.atStart());
    EXPECT_TRUE(s.query.atEnd());
    EXPECT_EQ(s.query.recordCount(), 0);
    EXPECT_TRUE(s.query.fieldByName("picture").isNull());
    EXPECT_EQ(s.query.displayRowCount(), 0);
    s.query.next();
    s.query.prior();
    EXPECT_EQ(s.notifications, 1);
}

TEST_F(Cursor, MovesByDistanceStopAtTheLastRecordFound) {
    OpenStore s(file({"A", "B", "C", "D", "E"}));
    s.query.activate();
    s.query.moveBy(3);
    EXPECT_CURSOR(s, "D", false, false);
    s.query.moveBy(5);
    EXPECT_CURSOR(s, "E", false, true);
    s.query.moveBy(-2);
    EXPECT_CURSOR(s, "C", false, false);
    s.query.last();
    EXPECT_CURSOR(s, "E", false, true);
    s.query.first();
    EXPECT_CURSOR(s, "A", true, false);
}

TEST_F(Cursor, ActivatingAnOpenQueryChangesNothing) {
    OpenStore s(file({"A", "B"}));
    s.query.activate();
    s.query.next();
    s.query.activate();
    EXPECT_CURSOR(s, "B", false, false);
    EXPECT_EQ(s.notifications, 2);
}

TEST_F(Cursor, DeletesMakeTheFollowingOrNewLastRecordCurrent) {
    std::string path = file({"R1", "R2", "R3"});
    OpenStore s(path);
    s.query.activate();
    s.query.next();
    s.query.remove();
    EXPECT_CURSOR(s, "R3", false, false);
    s.query.remove();
    EXPECT_CURSOR(s, "R1", false, false);
    int before = s.notifications;
    s.query.remove();
    EXPECT_EQ(s.notifications, before + 1);
    EXPECT_TRUE(s.query.atStart());
    EXPECT_TRUE(s.query.atEnd());
    EXPECT_EQ(s.query.currentRow(), -1);
    EXPECT_TRUE(s.query.fieldByName("picture").isNull());
    EXPECT_TRUE(namesInFile(path).empty());
    EXPECT_THROW(s.query.remove(), Error);
}

TEST_F(Cursor, DeleteInInsertStateOnlyDropsTheBlankRecord) {
    std::string path = file({"R1", "R2"});
    OpenStore s(path);
    s.query.activate();
    s.query.append();
    EXPECT_EQ(s.query.displayRowCount(), 3);
    s.query.remove();
    EXPECT_EQ(s.query.state(), DatasetState::Browse);
    EXPECT_EQ(s.query.recordCount(), 2);
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"R1", "R2"}));
}

TEST_F(Cursor, EditOfAnEmptySetThenAppendAndPostStoresOneRecord) {
    std::string path = file({});
    OpenStore s(path);
    s.query.activate();
    s.query.edit();
    EXPECT_EQ(s.query.state(), DatasetState::Insert);
    EXPECT_EQ(s.query.displayRowCount(), 1);  // the blank row
    EXPECT_TRUE(s.query.atStart());
    EXPECT_TRUE(s.query.atEnd());
    s.query.append();
    s.query.fieldByName("filename").setAsString("图片1");
    s.query.fieldByName("picture").writeBytes(shareBytes({0xFF, 0xD8}));
    s.query.post();
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"图片1"}));
    EXPECT_EQ(s.query.recordCount(), 1);
}

TEST_F(Cursor, AppendWritesAndPostRaiseFourNotificationsAfterTheAppend) {
    std::string path = file({"R1", "R2"});
    OpenStore s(path);
    s.query.activate();
    std::vector<std::string> changedFields;
    int sink = s.query.addChangeSink(
        [&](const Field* field) { changedFields.push_back(field ? field->name() : "-"); }, false);
    s.query.append();
    EXPECT_FALSE(s.query.atStart());
    EXPECT_TRUE(s.query.atEnd());
    EXPECT_EQ(s.query.recordCount(), 2);  // the insert is not counted yet
    s.query.fieldByName("filename").setAsString("new");
    s.query.fieldByName("picture").writeBytes(shareBytes({1, 2, 3}));
    EXPECT_FALSE(s.query.fieldByName("picture").isNull());
    s.query.post();
    EXPECT_EQ(changedFields, (std::vector<std::string>{"-", "filename", "picture", "picture", "-"}));
    EXPECT_EQ(s.query.recordCount(), 3);
    EXPECT_CURSOR(s, "new", false, false);
    EXPECT_EQ(*s.query.fieldByName("picture").asBytes(), (Bytes{1, 2, 3}));
    s.query.removeSink(sink);
}

TEST_F(Cursor, UntouchedEditIsCancelledByTheNextMoveAndPendingWritesArePosted) {
    std::string path = file({"R1", "R2"});
    OpenStore s(path);
    s.query.activate();
    s.query.edit();
    EXPECT_EQ(s.query.state(), DatasetState::Edit);
    s.query.next();
    EXPECT_EQ(s.query.state(), DatasetState::Browse);
    EXPECT_EQ(s.current(), "R2");
    s.query.edit();
    s.query.fieldByName("filename").setAsString("renamed");
    s.query.prior();  // the browse check posts the modified record first
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"R1", "renamed"}));
}

TEST_F(Cursor, AnEmptyWrittenPictureReadsAsNull) {
    OpenStore s(file({"R1"}));
    s.query.activate();
    s.query.edit();
    s.query.fieldByName("picture").writeBytes(shareBytes({}));
    EXPECT_TRUE(s.query.fieldByName("picture").isNull());
}

TEST_F(Cursor, DisplayRowsShowPendingNamesAndTheBlankInsertRow) {
    OpenStore s(file({"R1", "R2"}));
    s.query.activate();
    EXPECT_EQ(s.query.displayName(1), "R2");
    s.query.edit();
    s.query.fieldByName("filename").setAsString("typed");
    EXPECT_EQ(s.query.displayName(0), "typed");
    s.query.post();
    s.query.append();
    EXPECT_EQ(s.query.currentRow(), 2);
    EXPECT_EQ(s.query.displayName(2), std::nullopt);
}

}  // namespace
}  // namespace velmora::test
