// The program's own tables beside `pictures` in a file someone sent: each crafted
// definition is refused before anything reads or writes it, or is harmless; no picture
// is lost, and an undo and a restore give every picture back exactly.
#include <gtest/gtest.h>

#include <set>

#include "store/database/picture_digests.h"
#include "store/database/picture_trash.h"
#include "tests/support/sqlite_peer.h"
#include "tests/support/store_fixture.h"
#include "wallpaper/rotation_rows.h"

namespace velmora::test {
namespace {

// Every picture's name and bytes (a restore gives the row a new rowid).
std::multiset<std::string> contentOf(const std::string& path) {
    const std::vector<std::string> names = namesInFile(path);
    const std::vector<Bytes> pictures = picturesInFile(path);
    std::multiset<std::string> content;
    for (std::size_t i = 0; i < names.size(); ++i)
        content.insert(names[i] + ":" + std::string(pictures[i].begin(), pictures[i].end()));
    return content;
}

// Deletes two pictures into the trash and undoes both, then deletes one and restores it from the trash.
void trashAndBack(OpenStore& s) {
    const std::optional<TrashEntry> a = s.query.moveToTrash();
    s.query.next();
    const std::optional<TrashEntry> c = s.query.moveToTrash();
    s.query.restoreFromTrash(c->id, *c);
    s.query.restoreFromTrash(a->id, *a);
    s.query.first();
    s.query.moveToTrash();
    s.query.restoreFromTrash(PictureTrash(s.connection).list().front().id);
}

enum class Step { Trash, Digests, Rotation };

TEST(OwnTables, EachCraftedDefinitionIsRefusedBeforeAnyWriteOrHarmless) {
    const std::string huge = "printf('%.*c', 104857600, key)";
    const struct {
        std::string sql;
        Step step;
        std::string refusal;  // "": harmless
    } cases[] = {
        {"CREATE TABLE velmora_trash (id INTEGER DEFAULT 7, filename, picture, deleted_at INTEGER, former_rowid INTEGER)",
         Step::Trash, "The table 'velmora_trash' declares the column 'id' otherwise than as INTEGER in its primary key"},
        {"CREATE TABLE velmora_trash (id PRIMARY KEY, filename, picture, deleted_at INTEGER, former_rowid INTEGER)",
         Step::Trash, "The table 'velmora_trash' declares the column 'id' otherwise"},
        {"CREATE TABLE velmora_trash (id INTEGER PRIMARY KEY DESC, filename, picture, deleted_at INTEGER, "
         "former_rowid INTEGER)",
         Step::Trash, "The table 'velmora_trash' has a key that is not its rowid"},
        {"CREATE TABLE velmora_trash (id INTEGER PRIMARY KEY, filename, picture, deleted_at INTEGER, "
         "former_rowid INTEGER, UNIQUE (filename))",
         Step::Trash, "The table 'velmora_trash' has a unique index besides its key"},
        {"CREATE TABLE velmora_trash_fields (trash_id INTEGER, name TEXT, value CHECK (length(printf('%.*c', 104857600, name)) > 0))",
         Step::Trash, "The table 'velmora_trash_fields' has CHECK constraints"},
        {"CREATE TABLE velmora_trash (id INTEGER PRIMARY KEY, filename, picture, deleted_at INTEGER, "
         "former_rowid INTEGER, note TEXT DEFAULT 'kept')",
         Step::Trash, ""},
        // A digest table that breaks its contract is passed over: the bytes decide.
        {"CREATE TABLE velmora_digests (picture_rowid INTEGER PRIMARY KEY, filename, length INTEGER, sha256 BLOB); "
         "CREATE INDEX big ON velmora_digests (printf('%.*c', 104857600, filename))",
         Step::Digests, ""},
        {"CREATE TABLE velmora_rotation(key TEXT PRIMARY KEY, left_out INTEGER, shown_round INTEGER); "
         "CREATE INDEX big ON velmora_rotation (" + huge + ")",
         Step::Rotation, "The table 'velmora_rotation' has an index on an expression"},
        {"CREATE TABLE velmora_rotation(key TEXT PRIMARY KEY, left_out INTEGER CHECK (length(" + huge +
             ") > 0), shown_round INTEGER)",
         Step::Rotation, "The table 'velmora_rotation' has CHECK constraints"},
        // This program's own earlier definition.
        {"CREATE TABLE velmora_rotation_round(only INTEGER PRIMARY KEY CHECK (only = 1), round INTEGER NOT NULL)",
         Step::Rotation, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        TempDir dir;
        const std::string path = dir.file("sent.vlm");
        createCollection(path, namedRecords({"a", "b", "c", "d"}));
        SqlitePeer(path).exec(c.sql);
        const std::string before = readFile(path);
        const std::multiset<std::string> content = contentOf(path);
        std::string message;
        {
            OpenStore s(path);
            s.query.activate();
            message = messageOf([&] {
                if (c.step == Step::Trash) trashAndBack(s);
                if (c.step == Step::Digests) {
                    EXPECT_EQ(findStoredDuplicate(s.connection, picturesInFile(path)[1])->name, "b");
                }
                if (c.step == Step::Rotation) {
                    RotationRows rows(s.query, s.connection.database());
                    ASSERT_TRUE(rows.setLeftOut(1, true));
                    EXPECT_TRUE(rows.leftOut(1) && !rows.leftOut(0));
                }
            });
        }
        EXPECT_EQ(contentOf(path), content);
        if (c.refusal.empty()) {
            EXPECT_EQ(message, "<no error>");
        } else {
            EXPECT_EQ(message.rfind(c.refusal, 0), 0u) << message;
            EXPECT_EQ(readFile(path), before);
        }
    }
}

}  // namespace
}  // namespace velmora::test
