// Finding a picture already in the file by its bytes: digests taken lazily, kept beside
// the rows they describe, and never trusted once another program changed the row.
#include <gtest/gtest.h>

#include "store/database/picture_digests.h"
#include "store/database/sha256.h"
#include "tests/support/sqlite_peer.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string hexOf(const Sha256Digest& digest) {
    static const char* const digits = "0123456789abcdef";
    std::string hex;
    for (std::uint8_t byte : digest) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

std::string duplicateName(Connection& connection, const Bytes& bytes, PictureLengths* lengths = nullptr) {
    std::optional<StoredDuplicate> found = findStoredDuplicate(connection, bytes, lengths);
    return found ? found->name : "<none>";
}

// Adds a record as the browser does, its digest remembered; its rowid.
std::int64_t addRemembered(OpenStore& s, const std::string& name, const Bytes& bytes) {
    s.query.append();
    s.query.fieldByName("filename").setAsString(name);
    s.query.fieldByName("picture").writeBytes(shareBytes(bytes));
    s.query.post();
    const std::int64_t rowid = s.query.currentIdentity()->rowid;
    rememberDigest(s.connection, rowid, bytes);
    return rowid;
}

TEST(Sha256, KnownAnswers) {
    const Bytes million(1000000, 'a');
    const struct {
        Bytes input;
        const char* digest;
    } cases[] = {
        {{}, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {bytesOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {bytesOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {million, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) EXPECT_EQ(hexOf(sha256(c.input.data(), c.input.size())), c.digest);
}

TEST(Digests, FoundOnlyForTheSameBytesAndNeverThroughAStaleDigest) {
    // Each look passing over every row, and looks keeping the lengths read by the first.
    for (const bool kept : {false, true}) {
        SCOPED_TRACE(kept ? "lengths kept" : "every row");
        PictureLengths lengths;
        TempDir dir;
        const std::string path = dir.file("pictures.vlm");
        createCollection(path, {{"sunset", bytesOf("AAAA-sunset")}, {"lake", bytesOf("BBBB-lake!")},
                                       {"same length as sunset", bytesOf("CCCC-other")}});
        SqlitePeer other(path);
        OpenStore s(path);
        s.query.activate();
        auto look = [&](const Bytes& bytes) { return duplicateName(s.connection, bytes, kept ? &lengths : nullptr); };
        // Opening takes no digest and makes no table.
        EXPECT_FALSE(other.hasTable("velmora_digests"));

        EXPECT_EQ(look(bytesOf("AAAA-sunset")), "sunset");
        EXPECT_EQ(look(bytesOf("AAAA-sunseT")), "<none>");
        // Only pictures of the same length were hashed.
        EXPECT_EQ(other.integer("SELECT count(*) FROM velmora_digests"), 1);
        EXPECT_EQ(look(bytesOf("AAAA-sunse")), "<none>");
        EXPECT_EQ(other.integer("SELECT count(*) FROM velmora_digests"), 3);

        // Another program renames the picture: the digest still found it, under its new name.
        other.exec("UPDATE pictures SET filename = 'evening' WHERE filename = 'sunset'");
        EXPECT_EQ(look(bytesOf("AAAA-sunset")), "evening");
        // ... replaces its bytes by others of the same length and renames it: the stale
        // digest must not find the old bytes, and the new bytes are found.
        other.exec("UPDATE pictures SET picture = CAST('ZZZZ-sunset' AS BLOB), filename = 'new' "
                   "WHERE filename = 'evening'");
        EXPECT_EQ(look(bytesOf("AAAA-sunset")), "<none>");
        EXPECT_EQ(look(bytesOf("ZZZZ-sunset")), "new");
        // ... deletes the row and reuses its rowid for bytes of another length under the
        // same name, then puts the old bytes back under another rowid.
        other.exec("DELETE FROM pictures WHERE filename = 'new'; "
                   "INSERT INTO pictures (rowid, filename, picture) VALUES (1, 'new', CAST('YYYY-sunset-' AS BLOB)); "
                   "INSERT INTO pictures (filename, picture) VALUES ('back', CAST('ZZZZ-sunset' AS BLOB))");
        EXPECT_EQ(look(bytesOf("ZZZZ-sunset")), "back");
        EXPECT_EQ(look(bytesOf("YYYY-sunset-")), "new");

        // A digest remembered at adding is used as it is, not taken again.
        other.exec("UPDATE velmora_digests SET sha256 = zeroblob(32) WHERE picture_rowid = " +
                   std::to_string(addRemembered(s, "added", bytesOf("DDDD-added"))));
        EXPECT_EQ(look(bytesOf("DDDD-added")), "<none>");
        // This program's own changes: a picture moved to the trash is not found, one
        // added and remembered is.
        EXPECT_EQ(look(bytesOf("BBBB-lake!")), "lake");
        s.query.first();
        while (s.current() != "lake") s.query.next();
        ASSERT_TRUE(s.query.moveToTrash());
        EXPECT_EQ(look(bytesOf("BBBB-lake!")), "<none>");
        lengths.remember(s.connection.database(), addRemembered(s, "again", bytesOf("EEEE-again")), 10);
        EXPECT_EQ(look(bytesOf("EEEE-again")), "again");
    }
}

TEST(Digests, AForgedDigestNeverMakesOtherBytesADuplicate) {
    TempDir dir;
    const std::string path = dir.file("forged.vlm");
    createCollection(path, {{"decoy", bytesOf("AAAA-decoy")}});
    SqlitePeer other(path);
    OpenStore s(path);
    s.query.activate();
    const Bytes wanted = bytesOf("BBBB-wants");  // the same length, other bytes
    EXPECT_EQ(duplicateName(s.connection, wanted), "<none>");
    other.exec("UPDATE velmora_digests SET sha256 = x'" + hexOf(sha256(wanted.data(), wanted.size())) + "'");
    PictureLengths lengths;
    EXPECT_EQ(duplicateName(s.connection, wanted, &lengths), "<none>");
    // The decoy's true digest is kept again, and its own bytes are still found.
    const Bytes decoy = bytesOf("AAAA-decoy");
    EXPECT_EQ(other.integer("SELECT count(*) FROM velmora_digests WHERE sha256 = x'" +
                            hexOf(sha256(decoy.data(), decoy.size())) + "'"),
              1);
    EXPECT_EQ(duplicateName(s.connection, decoy, &lengths), "decoy");
}

TEST(Digests, AReadOnlyFileIsOnlyRead) {
    TempDir dir;
    const std::string path = dir.file("pictures.vlm");
    createCollection(path, {{"one", bytesOf("one")}});
    Connection connection;
    connection.setConnectionString(connectionStringFor(path));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    connection.adopt(db);
    EXPECT_EQ(duplicateName(connection, bytesOf("one")), "one");
    connection.close();
    EXPECT_FALSE(SqlitePeer(path).hasTable("velmora_digests"));
}

}  // namespace
}  // namespace velmora::test
