#pragma once
// Reading one stored value piece by piece through SQLite's incremental blob I/O, so
// that parsing a picture's headers does not read its pixels.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/deferred_bytes.h"
#include "store/database/sql_database.h"

struct sqlite3;
struct sqlite3_blob;

namespace velmora {

// The open database, shared with the deferred reads made from it. The owner sets db
// to null when it closes the database, so a late read fails cleanly.
struct HandleLease {
    SqlDatabase* db = nullptr;
};

// A file's blob, read through SQLite's incremental blob I/O.
class BlobReader : public SqlBlob {
public:
    // Opens `column` of row `rowid` of `table` for reading. Raises Error with
    // SQLite's text when the row is gone or the value is neither blob nor text.
    BlobReader(sqlite3* db, const std::string& table, const std::string& column, std::int64_t rowid);
    ~BlobReader() override;
    BlobReader(const BlobReader&) = delete;
    BlobReader& operator=(const BlobReader&) = delete;

    std::size_t size() const override { return size_; }
    // The first `count` bytes (count <= size()). Raises Error when reading fails.
    Bytes readFront(std::size_t count) override;

private:
    sqlite3* db_;
    sqlite3_blob* blob_ = nullptr;
    std::size_t size_ = 0;
};

// The value of `column` in row `rowid` of `table`, `size` bytes long, read from its
// front now and whole later, each read opening the row anew. Reads after the lease
// was given up raise Error.
DeferredBytes deferredBlob(std::shared_ptr<HandleLease> lease, std::string table, std::string column,
                           std::int64_t rowid, std::size_t size);

// "SELECT ... FROM pictures WHERE rowid=?1" over `columns`, giving two result columns
// per column: the value (null for a blob, which is not read) and whether it is a
// blob, together with its length; only typeof() and length() look at a blob, and
// they read none of its bytes.
std::string rowStatementDeferringBlobs(const std::vector<std::string>& columns);

}  // namespace velmora
