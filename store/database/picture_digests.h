#pragma once
// Finding a picture whose stored bytes are already in the file. Each picture's SHA-256
// is kept in the table velmora_digests with the row it was taken from (rowid, name and
// length): a digest counts only while its row is still so, so a row another program
// renamed, replaced or removed is hashed afresh. Digests are taken lazily, only of
// pictures of the same length as the one looked for, so opening a file costs nothing.

#include <cstdint>
#include <optional>
#include <string>

#include "base/bytes.h"

namespace velmora {

class Connection;

inline constexpr const char* kDigestTable = "velmora_digests";

struct StoredDuplicate {
    std::int64_t rowid = 0;
    std::string name;  // as stored ("" for a null name)
};

// The first record of `pictures`, in rowid order, whose bytes are `bytes`. Digests it
// had to take are kept when the file can be written (the table made when missing);
// a read-only file is only read.
std::optional<StoredDuplicate> findStoredDuplicate(Connection& connection, const Bytes& bytes);

// Keeps the digest of a record just written with `bytes`, so the next look need not
// read it back. Does nothing when the file cannot be written.
void rememberDigest(Connection& connection, std::int64_t rowid, const Bytes& bytes);

}  // namespace velmora
