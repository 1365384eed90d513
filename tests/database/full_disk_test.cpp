// A collection on a full disk and on a read-only file system: every write fails with
// a clear error, the file stays sound, and every earlier record is still there.
#include <gtest/gtest.h>

#include <filesystem>

#include "store/database/collection_copy.h"
#include "tests/support/small_disk.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

bool clearWriteError(const std::string& message) {
    for (const char* known : {"database or disk is full", "disk I/O error", "There is not enough space on the disk"}) {
        if (message.find(known) != std::string::npos) return true;
    }
    return false;
}

std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name != SmallDisk::kFiller) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FullDisk, AddRenameAndCreateFailCleanlyAndTheFileStaysSound) {
    SmallDisk disk;
    std::string path = disk.file("pictures.vlm");
    createCollection(path, namedRecords({"a", "b", "c"}));
    OpenStore s(path);
    s.query.activate();
    disk.fill();

    s.query.append();
    s.query.fieldByName("filename").setAsString("added");
    s.query.fieldByName("picture").writeBytes(shareBytes(Bytes(300000, 9)));
    std::string added = messageOf([&] { s.query.post(); });
    EXPECT_TRUE(clearWriteError(added)) << added;
    s.query.cancel();

    s.query.first();
    s.query.edit();
    s.query.fieldByName("filename").setAsString("renamed");
    std::string renamed = messageOf([&] { s.query.post(); });
    EXPECT_TRUE(clearWriteError(renamed)) << renamed;
    s.query.cancel();

    std::string created = messageOf([&] { copyCollection(path, disk.file("new.vlm")); });
    EXPECT_TRUE(clearWriteError(created)) << created;
    EXPECT_EQ(entriesOf(disk.folder()), std::vector<std::string>{"pictures.vlm"});  // no copy, no leftovers

    disk.release();
    s.connection.close();
    EXPECT_EQ(integrityOf(path), "ok");
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"a", "b", "c"}));
    // With room again, the same store writes.
    s.query.activate();
    s.query.remove();
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"b", "c"}));
}

TEST(ReadOnlyFile, BrowsingWorksAndEditsReportAnError) {
    SmallDisk disk;
    std::string path = disk.file("pictures.vlm");
    createCollection(path, namedRecords({"a", "b", "c"}));
    if (!disk.makeReadOnly()) GTEST_SKIP() << "root without the right to mount: nothing here is read-only";
    const std::string before = readFile(path);

    OpenStore s(path);
    s.query.activate();
    std::vector<std::string> seen;
    for (; !s.query.atEnd(); s.query.next()) {
        if (seen.empty() || seen.back() != s.current()) seen.push_back(s.current());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(s.query.fieldByName("picture").asBytes()->size(), std::string("picture of c").size());

    const std::string readOnly = "attempt to write a readonly database";
    EXPECT_EQ(messageOf([&] { s.query.remove(); }), readOnly);
    s.query.edit();
    s.query.fieldByName("filename").setAsString("renamed");
    EXPECT_EQ(messageOf([&] { s.query.post(); }), readOnly);
    s.query.cancel();
    s.query.append();
    s.query.fieldByName("filename").setAsString("added");
    EXPECT_EQ(messageOf([&] { s.query.post(); }), readOnly);
    s.connection.close();
    EXPECT_EQ(readFile(path), before);
    EXPECT_NE(messageOf([&] { copyCollection(path, disk.file("copy.vlm")); }), "<no error>");
    EXPECT_FALSE(std::filesystem::exists(disk.file("copy.vlm")));
}

}  // namespace
}  // namespace velmora::test
