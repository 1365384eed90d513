// Copying a collection while another connection holds it open: a file in the usual
// rollback-journal mode is copied whole under a read transaction, a WAL file (whose
// latest rows may still sit in its -wal file) page by page; both copies hold every row.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "store/database/collection_copy.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

TEST(CollectionCopy, EveryJournalModeGivesASoundCopyWithEveryRow) {
    for (const char* mode : {"DELETE", "WAL"}) {
        SCOPED_TRACE(mode);
        TempDir dir;
        const std::string path = dir.file("pictures.vlm");
        tools::createCollection(path, namedRecords({"a", "b"}));
        sqlite3* writer = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
        const std::string setUp = std::string("PRAGMA journal_mode=") + mode +
                                  "; PRAGMA wal_autocheckpoint=0;"
                                  " INSERT INTO pictures VALUES ('c', zeroblob(300000))";
        ASSERT_EQ(sqlite3_exec(writer, setUp.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);

        copyCollection(path, dir.file("copy.vlm"));
        EXPECT_EQ(namesInFile(dir.file("copy.vlm")), (std::vector<std::string>{"a", "b", "c"}));
        EXPECT_EQ(integrityOf(dir.file("copy.vlm")), "ok");
        // Never over an existing file, and nothing left behind.
        EXPECT_NE(messageOf([&] { copyCollection(path, dir.file("copy.vlm")); }), "<no error>");
        sqlite3_close(writer);
        EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"a", "b", "c"}));
        std::vector<std::string> left;  // beside the source and its own -wal and -shm
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("pictures.vlm", 0) != 0) left.push_back(name);
        }
        EXPECT_EQ(left, std::vector<std::string>{"copy.vlm"});
    }
}

}  // namespace
}  // namespace velmora::test
