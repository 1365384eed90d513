// Statements, the name filter, and what a result set keeps between openings.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "base/error.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

const std::string kFilter = "select * from pictures where filename like '%' || ?1 || '%'\r\n";

class Statements : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("pictures.vlm");
        createCollection(path, namedRecords({"猫1", "小猫", "狗", "it's mine", "a_b", "x' or 1=1 --"}));
    }
    std::vector<std::string> listed(PictureQuery& query) {
        std::vector<std::string> names;
        for (int row = 0; row < query.displayRowCount(); ++row) names.push_back(query.displayName(row).value_or("<null>"));
        return names;
    }
    TempDir dir;
    std::string path;
};

TEST_F(Statements, FilterSelectsNamesContainingTheText) {
    OpenStore s(path);
    s.query.setSql(kFilter, {"猫"});
    s.query.open();
    EXPECT_EQ(listed(s.query), (std::vector<std::string>{"猫1", "小猫"}));
    EXPECT_EQ(s.current(), "猫1");
}

TEST_F(Statements, QuotesAreOrdinaryCharactersAndCannotChangeTheStatement) {
    OpenStore s(path);
    s.query.setSql(kFilter, {"'"});
    s.query.open();
    EXPECT_EQ(listed(s.query), (std::vector<std::string>{"it's mine", "x' or 1=1 --"}));
    s.query.setSql(kFilter, {"' or 1=1 --"});
    s.query.open();
    EXPECT_EQ(listed(s.query), (std::vector<std::string>{"x' or 1=1 --"}));
}

TEST_F(Statements, WildcardsKeepTheirMeaning) {
    OpenStore s(path);
    s.query.setSql(kFilter, {"_"});
    s.query.open();
    EXPECT_EQ(s.query.recordCount(), 6);
    s.query.setSql(kFilter, {"a%b"});
    s.query.open();
    EXPECT_EQ(listed(s.query), (std::vector<std::string>{"a_b"}));
    s.query.setSql(kFilter, {""});
    s.query.open();
    EXPECT_EQ(s.query.recordCount(), 6);
}

TEST_F(Statements, SettingTheTextClosesTheQueryWithoutNotification) {
    OpenStore s(path);
    int closes = 0;
    s.query.addCloseSink([&] { ++closes; });
    s.query.activate();
    int before = s.notifications;
    s.query.setSql("select * from pictures\r\n");
    EXPECT_FALSE(s.query.active());
    EXPECT_EQ(s.notifications, before);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(s.query.atStart());
    EXPECT_TRUE(s.query.atEnd());
}

TEST_F(Statements, AppendedAndRenamedRecordsStayUnderAFilterUntilReopened) {
    OpenStore s(path);
    s.query.setSql(kFilter, {"猫"});
    s.query.open();
    s.query.append();
    s.query.fieldByName("filename").setAsString("鱼");
    s.query.fieldByName("picture").writeBytes(shareBytes({1}));
    s.query.post();
    s.query.first();
    s.query.edit();
    s.query.fieldByName("filename").setAsString("狼");
    s.query.post();
    EXPECT_EQ(listed(s.query), (std::vector<std::string>{"狼", "小猫", "鱼"}));
    EXPECT_EQ(s.query.recordCount(), 3);
    s.query.close();
    s.query.open();
    EXPECT_EQ(listed(s.query), (std::vector<std::string>{"小猫"}));
}

TEST_F(Statements, TheStatementStaysInForceAcrossANewConnection) {
    std::string other = dir.file("other.vlm");
    createCollection(other, namedRecords({"大猫", "鸟"}));
    OpenStore s(path);
    s.query.setSql(kFilter, {"猫"});
    s.query.open();
    s.connection.close();
    EXPECT_FALSE(s.query.active());
    s.connection.setConnectionString(connectionStringFor(other));
    s.connection.open();
    s.query.open();
    EXPECT_EQ(listed(s.query), (std::vector<std::string>{"大猫"}));
}

TEST_F(Statements, ExtraColumnsAreCarriedButNeverWritten) {
    std::string extra = dir.file("extra.vlm");
    {
        createCollection(extra, {});
        OpenStore raw(extra);
        raw.connection.open();
        sqlite3_exec(raw.connection.handle(),
                     "ALTER TABLE pictures ADD COLUMN note TEXT DEFAULT 'kept';"
                     "INSERT INTO pictures (filename, picture, note) VALUES ('a', x'01', 'mine');",
                     nullptr, nullptr, nullptr);
    }
    OpenStore s(extra);
    s.query.activate();
    EXPECT_EQ(s.query.fieldByName("NOTE").asString(), "mine");
    s.query.edit();
    s.query.fieldByName("filename").setAsString("b");
    s.query.post();
    s.query.append();
    s.query.fieldByName("filename").setAsString("c");
    s.query.post();
    EXPECT_EQ(s.query.fieldByName("note").asString(), "kept");  // the column's default, untouched
    s.query.first();
    EXPECT_EQ(s.query.fieldByName("note").asString(), "mine");  // the edit wrote only filename
}

}  // namespace
}  // namespace velmora::test
