// What a file no longer shows is not in its bytes either: a file whose trash was emptied
// or forgotten, and a backup of a file that deleted rows before such wiping existed.
// The raw bytes are searched for each picture's segment and name.
#include <gtest/gtest.h>

#include "store/database/collection_copy.h"
#include "store/database/picture_trash.h"
#include "tests/support/sqlite_peer.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

// A picture whose first and last bytes (on its row's page and on its last overflow
// page) are a comment segment with a text of its own.
Bytes pictureMarked(const std::string& mark) {
    Bytes bytes{0xFF, 0xD8, 0xFF, 0xFE, 0x00, static_cast<std::uint8_t>(mark.size() + 2)};
    bytes.insert(bytes.end(), mark.begin(), mark.end());
    bytes.resize(bytes.size() + 30000, 0x55);
    bytes.insert(bytes.end(), mark.begin(), mark.end());
    return bytes;
}

const std::vector<std::string> kNames{"Portrait", "Red Pic", "Harbour"};

std::string makeTemplate(const TempDir& dir, const std::string& name) {
    std::vector<CollectionRecord> records;
    for (const std::string& n : kNames) records.push_back({n, pictureMarked("segment of " + n)});
    createCollection(dir.file(name), records);
    return dir.file(name);
}

// Which of kNames the file's bytes still hold, by name or picture segment.
std::vector<std::string> tracesIn(const std::string& path) {
    const std::string bytes = readFile(path);
    std::vector<std::string> found;
    for (const std::string& n : kNames)
        if (bytes.find(n) != std::string::npos || bytes.find("segment of " + n) != std::string::npos) found.push_back(n);
    return found;
}

TEST(WipedCopy, TheTrashsDeletesAndABackupLeaveNoByteOfAGonePicture) {
    for (bool forgetOne : {true, false}) {
        SCOPED_TRACE(forgetOne ? "forgotten" : "emptied");
        TempDir dir;
        const std::string path = makeTemplate(dir, "c.vlm");
        OpenStore s(path);
        s.query.activate();
        s.query.next();  // "Red Pic"
        const std::optional<TrashEntry> entry = s.query.moveToTrash();
        ASSERT_TRUE(entry.has_value());
        if (forgetOne) PictureTrash(s.connection).deleteForever(entry->id);
        else PictureTrash(s.connection).empty();
        EXPECT_EQ(tracesIn(path), (std::vector<std::string>{"Portrait", "Harbour"}));
    }
    // A file that deleted a row without wiping: its backup does not carry the row's bytes,
    // and the rows left keep their rowids.
    TempDir dir;
    const std::string path = makeTemplate(dir, "old.vlm");
    SqlitePeer(path).exec("PRAGMA secure_delete = OFF; DELETE FROM pictures WHERE filename = 'Red Pic'");
    ASSERT_EQ(tracesIn(path), kNames);
    backupCollection(path, dir.file("backup.vlm"));
    EXPECT_EQ(tracesIn(dir.file("backup.vlm")), (std::vector<std::string>{"Portrait", "Harbour"}));
    EXPECT_EQ(SqlitePeer(dir.file("backup.vlm")).pictureRows(), SqlitePeer(path).pictureRows());
}

}  // namespace
}  // namespace velmora::test
