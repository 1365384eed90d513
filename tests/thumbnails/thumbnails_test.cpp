// Making thumbnails (the photo's own Exif thumbnail when it will do, upright, never a
// lying one) and keeping them: across renames and restarts, never stale after another
// program replaced a picture, for read-only collections, in a bounded store that a
// damaged or foreign file never breaks.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>

#include "base/error.h"
#include "browser/thumbnail_worker.h"
#include "store/database/collection_file.h"
#include "store/thumbnails/exif_thumbnail.h"
#include "store/thumbnails/thumbnail_picture.h"
#include "tests/support/fuzz_corpus.h"
#include "tests/support/oriented_sample.h"
#include "tests/support/sqlite_peer.h"
#include "tests/support/temp_dir.h"
#include "tools/synthetic_picture.h"

#include "fuzz/fuzz_exif_thumbnail.cpp"

namespace velmora::test {
namespace {

// photo with an Exif segment whose IFD1 holds `embedded`, its length field saying `claimed`.
Bytes withExifThumbnail(const Bytes& photo, const Bytes& embedded, std::uint32_t claimed) {
    Bytes tiff;
    tiff.reserve(64 + embedded.size());
    for (int byte : {0x49, 0x49, 42, 0, 8, 0, 0, 0, 0, 0}) tiff.push_back(static_cast<std::uint8_t>(byte));  // header, IFD0 without entries...
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) tiff.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    put(14, 4);  // ...followed by IFD1 at 14
    put(2, 2);
    const std::uint32_t start = 14 + 2 + 2 * 12 + 4;
    for (auto [tag, value] : {std::pair{0x0201u, start}, {0x0202u, claimed}}) {
        put(tag, 2);
        put(4, 2);  // LONG
        put(1, 4);
        put(value, 4);
    }
    put(0, 4);
    tiff.insert(tiff.end(), embedded.begin(), embedded.end());
    const std::size_t length = 2 + 6 + tiff.size();
    Bytes segment{0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
    for (char c : std::string("Exif\0\0", 6)) segment.push_back(static_cast<std::uint8_t>(c));
    for (std::uint8_t byte : tiff) segment.push_back(byte);
    return insertAfterSoi(photo, segment);
}

TEST(ThumbnailMaking, TheExifThumbnailIsUsedOnlyWhenItIsLargeEnoughAndTellsTheTruth) {
    const Bytes photo = tools::syntheticJpeg(800, 600, 1);
    const Bytes embedded = tools::syntheticJpeg(200, 150, 5);
    const Bytes truncated(embedded.begin(), embedded.begin() + static_cast<std::ptrdiff_t>(embedded.size() / 3));
    struct Case {
        const char* what;
        Bytes jpeg;
        int edge;
        bool fromExif;
    } cases[] = {
        {"large enough", withExifThumbnail(photo, embedded, static_cast<std::uint32_t>(embedded.size())), 128, true},
        {"too small", withExifThumbnail(photo, embedded, static_cast<std::uint32_t>(embedded.size())), 256, false},
        {"other proportions", withExifThumbnail(photo, tools::syntheticJpeg(200, 100, 5), 9999), 128, false},
        {"length past the segment", withExifThumbnail(photo, embedded, 1u << 30), 128, false},
        {"truncated", withExifThumbnail(photo, truncated, static_cast<std::uint32_t>(truncated.size())), 128, false},
        {"none", photo, 128, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ThumbnailPicture made = makeThumbnail(c.jpeg, c.edge);
        EXPECT_EQ(made.fromExif, c.fromExif);
        EXPECT_EQ(made.bitmap.width(), c.edge);
        EXPECT_EQ(made.bitmap.height(), c.edge * 3 / 4);
        EXPECT_EQ(LLVMFuzzerTestOneInput(c.jpeg.data(), c.jpeg.size()), 0);
    }
    EXPECT_FALSE(exifThumbnail(withExifThumbnail(photo, embedded, 1u << 30)));
    // Upright as the main window shows it, and a picture that does not decode makes none.
    for (int orientation : {1, 3, 6, 8}) EXPECT_EQ(uprightMismatch(orientation, makeThumbnail(orientedJpeg(orientation), 128).bitmap), "");
    EXPECT_THROW(makeThumbnail(Bytes{0xFF, 0xD8, 0xFF, 0xD9}, 128), std::exception);
    for (const KeptInput& input : keptFuzzInputs("exif_thumbnail"))
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.bytes.data()), input.bytes.size()), 0);
}

class KeptThumbnails : public ::testing::Test {
protected:
    KeptThumbnails() {
        createCollection(collection, {{"A", tools::syntheticJpeg(640, 480, 0)},
                                             {"B", tools::syntheticJpeg(640, 480, 1)},
                                             {"C", tools::syntheticJpeg(480, 640, 2)}});
    }
    // The three pictures as a worker (a new run) makes them, by rowid.
    std::map<std::int64_t, MadeThumbnail> make(const std::shared_ptr<ThumbnailStore>& store) {
        ThumbnailWorker worker(collection, store, nullptr, 2);
        worker.want({{1, 128}, {2, 128}, {3, 128}});
        worker.waitUntilIdle();
        std::map<std::int64_t, MadeThumbnail> made;
        for (MadeThumbnail& thumbnail : worker.take()) made[thumbnail.key.rowid] = std::move(thumbnail);
        return made;
    }
    // Another program writes `bytes` with a statement of one blob parameter.
    static void writeBlob(const std::string& file, const char* sql, const Bytes& bytes) {
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        sqlite3_bind_blob(statement, 1, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
        EXPECT_EQ(sqlite3_step(statement), SQLITE_DONE);
        sqlite3_finalize(statement);
        sqlite3_close(db);
    }
    // Every kept thumbnail replaced by a small square, to see which rows take theirs from the store.
    void markKept() { writeBlob(storePath, "UPDATE thumbnails SET jpeg=?1", tools::syntheticJpeg(16, 16, 9)); }
    static bool kept(const MadeThumbnail& made) { return made.picture.width() == 16; }

    TempDir dir;
    std::string collection = dir.file("pictures.vlm");
    std::string storePath = dir.file("cache/velmora/thumbnails.db");
};

TEST_F(KeptThumbnails, KeptAcrossRenamesAndRestartsButNeverAfterTheBytesWereReplaced) {
    auto store = std::make_shared<ThumbnailStore>(storePath);
    std::map<std::int64_t, MadeThumbnail> made = make(store);
    ASSERT_EQ(made.size(), 3u);
    EXPECT_EQ(made[1].picture.width(), 128);
    EXPECT_EQ(made[3].picture.height(), 128);
    EXPECT_GT(store->heldBytes(), 0);
    markKept();

    store = std::make_shared<ThumbnailStore>(storePath);  // a restart
    made = make(store);
    EXPECT_TRUE(kept(made[1]) && kept(made[2]) && kept(made[3]));

    SqlitePeer peer(collection);
    peer.exec("UPDATE pictures SET filename='A2' WHERE rowid=1");  // another program renames...
    peer.exec("INSERT INTO pictures(filename, picture) SELECT 'C again', picture FROM pictures WHERE rowid=3");
    made = make(store);
    EXPECT_TRUE(kept(made[1]) && kept(made[3]));
    writeBlob(collection, "UPDATE pictures SET picture=?1 WHERE rowid=1", tools::syntheticJpeg(640, 480, 7));  // ...and replaces
    made = make(store);
    EXPECT_FALSE(kept(made[1]));
    EXPECT_EQ(made[1].picture.width(), 128);
    EXPECT_TRUE(kept(made[2]));

    // A read-only collection is read and never written.
    const std::string before = readFile(collection);
    std::filesystem::permissions(collection, std::filesystem::perms::owner_read);
    made = make(store);
    EXPECT_EQ(made.size(), 3u);
    EXPECT_FALSE(made[1].failed);
    EXPECT_EQ(readFile(collection), before);
    std::filesystem::permissions(collection, std::filesystem::perms::owner_all);
}

TEST_F(KeptThumbnails, ADamagedOrForeignStoreIsSetAsideAndTheSpaceStaysBounded) {
    std::filesystem::create_directories(dir.path() / "cache/velmora");
    writeFile(storePath, std::string(4096, 'x'));
    {
        ThumbnailStore store(storePath);
        EXPECT_TRUE(store.keeping());
    }
    EXPECT_EQ(readFile(storePath + ".damaged"), std::string(4096, 'x'));
    std::filesystem::remove(storePath);
    sqlite3* other = nullptr;
    sqlite3_open(storePath.c_str(), &other);
    sqlite3_exec(other, "CREATE TABLE notes(text)", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    {
        auto store = std::make_shared<ThumbnailStore>(storePath, 6000);  // room for about one
        EXPECT_TRUE(store->keeping());
        EXPECT_EQ(make(store).size(), 3u);
        EXPECT_LE(store->heldBytes(), 6000);
        EXPECT_GT(store->heldBytes(), 0);
    }
    EXPECT_TRUE(SqlitePeer(storePath + ".other").hasTable("notes"));
    // No store at all (a file where its folder should be): thumbnails are still made.
    auto none = std::make_shared<ThumbnailStore>(dir.file("pictures.vlm/thumbnails.db"));
    EXPECT_FALSE(none->keeping());
    EXPECT_EQ(make(none)[2].picture.width(), 128);
}

}  // namespace
}  // namespace velmora::test
