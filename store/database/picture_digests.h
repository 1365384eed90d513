#pragma once
// Finding a picture whose stored bytes are already in the file. Each picture's SHA-256
// is kept in the table velmora_digests with the row it was taken from (rowid, name and
// length): a digest counts only while its row is still so, so a row another program
// renamed, replaced or removed is hashed afresh. Digests are taken lazily, only of
// pictures of the same length as the one looked for, so opening a file costs nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/bytes.h"

namespace velmora {

class Connection;
class SqlDatabase;

inline constexpr const char* kDigestTable = "velmora_digests";

// The pictures' lengths by rowid, read in one pass and kept while nothing has changed
// the file since: no other connection (PRAGMA data_version) and no write of this one
// but the additions it was told of. A look for a duplicate among many pictures then
// reads only the rows of the same length, instead of passing over every row again.
class PictureLengths {
public:
    // The rowids, ascending, of the pictures of this length.
    std::vector<std::int64_t> rowidsOfLength(SqlDatabase& db, std::int64_t length);
    // This connection added a picture of length under rowid (and the digests it kept),
    // and nothing else since.
    void remember(SqlDatabase& db, std::int64_t rowid, std::int64_t length);
    // This connection's writes since the last look were digests it kept.
    void keptDigests(SqlDatabase& db);
    // Another file, or nothing known.
    void forget() { valid_ = false; }

private:
    bool current(SqlDatabase& db) const;
    void settle(SqlDatabase& db);

    bool valid_ = false;
    const SqlDatabase* db_ = nullptr;
    std::int64_t dataVersion_ = 0;
    std::int64_t ownChanges_ = 0;
    std::unordered_map<std::int64_t, std::vector<std::int64_t>> rowids_;
};

struct StoredDuplicate {
    std::int64_t rowid = 0;
    std::string name;  // as stored ("" for a null name)
};

// The first record of `pictures`, in rowid order, whose bytes are `bytes`. Digests it
// had to take are kept when the file can be written (the table made when missing);
// a read-only file is only read.
// lengths, when given, spares passing over every row at each look.
std::optional<StoredDuplicate> findStoredDuplicate(Connection& connection, const Bytes& bytes,
                                                   PictureLengths* lengths = nullptr);

// Keeps the digest of a record just written with `bytes`, so the next look need not
// read it back. Does nothing when the file cannot be written.
void rememberDigest(Connection& connection, std::int64_t rowid, const Bytes& bytes);

}  // namespace velmora
