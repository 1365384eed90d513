#include "store/database/blob_reader.h"

#include <sqlite3.h>

#include <algorithm>
#include <utility>

#include "base/error.h"
#include "store/database/sql_text.h"

namespace velmora {

namespace {

// A value this large (a picture) leaves the page cache once read.
constexpr std::size_t kLargeValue = 256 * 1024;

}  // namespace

BlobReader::BlobReader(sqlite3* db, const std::string& table, const std::string& column, std::int64_t rowid)
    : db_(db) {
    if (sqlite3_blob_open(db, "main", table.c_str(), column.c_str(), rowid, 0, &blob_) != SQLITE_OK) {
        std::string message = sqlite3_errmsg(db);
        sqlite3_blob_close(blob_);
        throw Error(message);
    }
    size_ = static_cast<std::size_t>(sqlite3_blob_bytes(blob_));
}

BlobReader::~BlobReader() {
    sqlite3_blob_close(blob_);
    // A picture's pages pass through the page cache once and would stay there, up to the
    // cache's size, for nothing: they are let go (the file's other pages are kept).
    if (size_ >= kLargeValue) sqlite3_db_release_memory(db_);
}

Bytes BlobReader::readFront(std::size_t count) {
    Bytes bytes(std::min(count, size_));
    if (!bytes.empty() && sqlite3_blob_read(blob_, bytes.data(), static_cast<int>(bytes.size()), 0) != SQLITE_OK) {
        throw Error(sqlite3_errmsg(db_));
    }
    return bytes;
}

DeferredBytes deferredBlob(std::shared_ptr<HandleLease> lease, std::string table, std::string column,
                           std::int64_t rowid, std::size_t size) {
    auto open = [lease = std::move(lease), table = std::move(table), column = std::move(column), rowid] {
        if (!lease->db) throw Error("The picture data file is no longer open");
        return lease->db->openBlob(table, column, rowid);
    };
    DeferredBytes value;
    value.size = size;
    value.readFront = [open](std::size_t count) { return open()->readFront(count); };
    value.readWhole = [open] {
        auto reader = open();
        return shareBytes(reader->readFront(reader->size()));
    };
    return value;
}

std::string rowStatementDeferringBlobs(const std::vector<std::string>& columns) {
    std::string list;
    for (const std::string& column : columns) {
        const std::string name = quoteIdentifier(column);
        if (!list.empty()) list += ", ";
        list += "CASE WHEN typeof(" + name + ")='blob' THEN NULL ELSE " + name + " END, ";
        list += "CASE WHEN typeof(" + name + ")='blob' THEN length(" + name + ") END";
    }
    if (list.empty()) list.push_back('*');  // not = "*": GCC 12 -Wrestrict (bug 105651)
    return "SELECT " + list + " FROM pictures WHERE rowid=?1";
}

}  // namespace velmora
