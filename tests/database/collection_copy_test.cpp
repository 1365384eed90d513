// Copying a picture data file to a new name: a complete, equal file under the new
// name, or an error and no file at all; an existing file is never replaced. A file in
// the usual rollback-journal mode is copied whole under a read transaction, a WAL file
// (whose latest rows may still sit in its -wal file) page by page.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "store/database/collection_copy.h"
#include "store/database/collection_copy_file.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

// File names as UTF-8, whatever the system's own encoding of them.
std::vector<std::string> entriesOf(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool cannotCreate(const std::string& message, const std::string& name) {
    return message.rfind("Cannot create file \"", 0) == 0 && message.find(name) != std::string::npos;
}

TEST(CollectionCopy, CopiesWholeFilesAndNeverReplacesOrLeavesHalfAFile) {
    TempDir dir;
    const std::string folder = dir.path().string() + "/";
    const std::string source = folder + "pictures.vlm";
    createCollection(source, namedRecords({"a", "b", "c"}));

    // What a killed copy leaves is removed by the next; another program's file by such a name is not.
    const std::string leftover = temporaryCopyName(0), foreign = temporaryCopyName(1);
    for (const std::string& name : {leftover, leftover + "-journal"}) writeFile(folder + name, "");
    writeFile(folder + foreign, "not a copy");
    // A Chinese name, as the file dialog hands it over: UTF-8.
    const std::string chinese = "\xE6\x96\xB0\xE5\xBB\xBA.vlm";
    EXPECT_EQ(messageOf([&] { copyCollection(source, folder + chinese); }), "<no error>");
    EXPECT_EQ(namesInFile(folder + chinese), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(integrityOf(folder + chinese), "ok");

    writeFile(folder + "kept.vlm", "not to be replaced");
    EXPECT_TRUE(cannotCreate(messageOf([&] { copyCollection(source, folder + "kept.vlm"); }), "kept.vlm"));
    EXPECT_EQ(readFile(folder + "kept.vlm"), "not to be replaced");
    EXPECT_TRUE(cannotCreate(messageOf([&] { copyCollection(source, folder + chinese); }), chinese));
    EXPECT_EQ(namesInFile(folder + chinese), (std::vector<std::string>{"a", "b", "c"}));

    EXPECT_EQ(messageOf([&] { copyCollection(folder + "missing.vlm", folder + "none.vlm"); }),
              "unable to open database file");
    EXPECT_TRUE(cannotCreate(messageOf([&] { copyCollection(source, folder + "no folder/new.vlm"); }), "new.vlm"));

    // Neither the failures nor the copy left a temporary file behind.
    std::vector<std::string> left{foreign, "kept.vlm", "pictures.vlm", chinese};
    std::sort(left.begin(), left.end());
    EXPECT_EQ(entriesOf(dir.path()), left);
}

TEST(CollectionCopy, EveryJournalModeGivesASoundCopyWithTheRowsAnOpenWriterAdded) {
    for (const char* mode : {"DELETE", "WAL"}) {
        SCOPED_TRACE(mode);
        TempDir dir;
        const std::string path = dir.file("pictures.vlm");
        createCollection(path, namedRecords({"a", "b"}));
        sqlite3* writer = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
        const std::string setUp = std::string("PRAGMA journal_mode=") + mode +
                                  "; PRAGMA wal_autocheckpoint=0;"
                                  " INSERT INTO pictures VALUES ('c', zeroblob(300000))";
        ASSERT_EQ(sqlite3_exec(writer, setUp.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        copyCollection(path, dir.file("copy.vlm"));
        sqlite3_close(writer);
        EXPECT_EQ(namesInFile(dir.file("copy.vlm")), (std::vector<std::string>{"a", "b", "c"}));
        EXPECT_EQ(integrityOf(dir.file("copy.vlm")), "ok");
    }
}

}  // namespace
}  // namespace velmora::test
