// Failures: files that cannot be opened, operations in the wrong state, and what a
// failure leaves behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/error.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

void expectFailedOpenStaysClosed(const std::string& path, const std::string& expected) {
    OpenStore s(path);
    std::string first = messageOf([&] { s.query.activate(); });
    EXPECT_NE(first.find(expected), std::string::npos) << first;
    EXPECT_FALSE(s.query.active());
    EXPECT_TRUE(s.query.atStart());
    EXPECT_TRUE(s.query.atEnd());
    EXPECT_EQ(s.notifications, 0);
    EXPECT_EQ(messageOf([&] { s.query.activate(); }), first);
    EXPECT_EQ(messageOf([&] { s.query.fieldByName("picture"); }), "ADOQuery1: Field 'picture' not found");
}

TEST(FailedOpen, MissingFileIsNotCreated) {
    TempDir dir;
    std::string path = dir.file("missing.vlm");
    expectFailedOpenStaysClosed(path, "unable to open database file");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(FailedOpen, FileThatIsNotADatabase) {
    TempDir dir;
    std::string path = dir.file("text.vlm");
    writeFile(path, std::string(4096, 'x'));
    expectFailedOpenStaysClosed(path, "file is not a database");
}

TEST(FailedOpen, ZeroByteFileAndDatabaseWithoutPictures) {
    TempDir dir;
    std::string empty = dir.file("empty.vlm");
    writeFile(empty, "");
    expectFailedOpenStaysClosed(empty, "no such table: pictures");
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);  // opening wrote nothing into it
}

TEST(ClosedQuery, OperationsReportTheStoreMessages) {
    TempDir dir;
    OpenStore s(dir.file("none.vlm"));
    EXPECT_EQ(messageOf([&] { s.query.recordCount(); }), "ADOQuery1: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(messageOf([&] { s.query.next(); }), "ADOQuery1: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(messageOf([&] { s.query.remove(); }), "ADOQuery1: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(messageOf([&] { s.query.post(); }), "ADOQuery1: Dataset not in edit or insert mode");
}

TEST(OpenQuery, WritesOutsideEditAndUnknownFieldsFail) {
    TempDir dir;
    std::string path = dir.file("p.vlm");
    createCollection(path, namedRecords({"a"}));
    OpenStore s(path);
    s.query.activate();
    EXPECT_EQ(messageOf([&] { s.query.fieldByName("filename").setAsString("x"); }),
              "ADOQuery1: Dataset not in edit or insert mode");
    EXPECT_EQ(messageOf([&] { s.query.fieldByName("nothing"); }), "ADOQuery1: Field 'nothing' not found");
    EXPECT_EQ(messageOf([&] { s.query.post(); }), "ADOQuery1: Dataset not in edit or insert mode");
}

TEST(EmptyQuery, DeleteReportsAnEmptyDataset) {
    TempDir dir;
    std::string path = dir.file("p.vlm");
    createCollection(path, {});
    OpenStore s(path);
    s.query.activate();
    EXPECT_EQ(messageOf([&] { s.query.remove(); }), "ADOQuery1: Cannot perform this operation on an empty dataset");
}

TEST(Connection, ClosingWithAPendingEditWritesNothing) {
    TempDir dir;
    std::string path = dir.file("p.vlm");
    createCollection(path, namedRecords({"a", "b"}));
    OpenStore s(path);
    s.query.activate();
    int closes = 0;
    s.query.addCloseSink([&] { ++closes; });
    s.query.edit();
    s.query.fieldByName("filename").setAsString("changed");
    int before = s.notifications;
    s.connection.close();
    EXPECT_FALSE(s.query.active());
    EXPECT_EQ(s.notifications, before);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"a", "b"}));
}

TEST(Connection, ASecondConnectionSeesAPostOnlyAfterReopening) {
    TempDir dir;
    std::string path = dir.file("p.vlm");
    createCollection(path, namedRecords({"a"}));
    OpenStore writer(path), reader(path);
    writer.query.activate();
    reader.query.activate();
    writer.query.append();
    writer.query.fieldByName("filename").setAsString("b");
    writer.query.post();
    EXPECT_EQ(reader.query.recordCount(), 1);
    reader.query.close();
    reader.query.open();
    EXPECT_EQ(reader.query.recordCount(), 2);
}

TEST(Connection, DataSourceIsTakenFromTheConnectionString) {
    EXPECT_EQ(dataSourceOf("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=C:\\a b\\p.vlm;Persist "
                           "Security Info=False"),
              "C:\\a b\\p.vlm");
    EXPECT_EQ(dataSourceOf("Provider=x;User ID=Admin"), "");
    Connection connection;
    connection.setConnectionString("Provider=x;Data Source=/tmp/dir\\pictures.vlm;Persist Security Info=False");
    EXPECT_EQ(connection.dataSourcePath(), "/tmp/dir/pictures.vlm");
}

}  // namespace
}  // namespace velmora::test
