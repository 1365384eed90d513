#include "store/database/collection_file.h"

#include <sqlite3.h>

#include <filesystem>

#include "base/error.h"

namespace velmora {

namespace {

class FileDatabase {
public:
    FileDatabase(const std::string& path, int flags) {
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            // The handle exists even when opening fails, and no destructor will close it.
            Error error(db_ ? sqlite3_errmsg(db_) : "out of memory");
            sqlite3_close(db_);
            throw error;
        }
        sqlite3_busy_timeout(db_, 10000);
    }
    ~FileDatabase() { sqlite3_close(db_); }
    void exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail();
    }
    void insert(const std::vector<CollectionRecord>& records) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, "INSERT INTO pictures (filename, picture) VALUES (?1, ?2)", -1, &statement,
                               nullptr) != SQLITE_OK) {
            fail();
        }
        for (const auto& record : records) {
            // A value that does not bind (too long) must fail, not be stored as null.
            if (sqlite3_bind_text64(statement, 1, record.name.data(), record.name.size(), SQLITE_STATIC,
                                    SQLITE_UTF8) != SQLITE_OK ||
                sqlite3_bind_blob64(statement, 2, record.picture.data(), record.picture.size(), SQLITE_STATIC) !=
                    SQLITE_OK ||
                sqlite3_step(statement) != SQLITE_DONE) {
                sqlite3_finalize(statement);
                fail();
            }
            sqlite3_reset(statement);
        }
        sqlite3_finalize(statement);
    }

private:
    [[noreturn]] void fail() { throw Error(db_ ? sqlite3_errmsg(db_) : "out of memory"); }
    sqlite3* db_ = nullptr;
};

}  // namespace

void createCollection(const std::string& path, const std::vector<CollectionRecord>& records) {
    if (std::filesystem::exists(path)) throw Error("File already exists: " + path);
    try {
        FileDatabase db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        // Pictures are large values: 16 KiB pages keep their overflow chains short,
        // while the table's own pages stay small enough for a quick walk of its rows.
        db.exec("PRAGMA page_size=16384");
        db.exec("BEGIN");
        db.exec("CREATE TABLE pictures (filename TEXT, picture BLOB)");
        db.insert(records);
        db.exec("COMMIT");
    } catch (...) {
        // A file without its table is no collection: nothing is left behind.
        removeCollection(path);
        throw;
    }
}

void appendRecords(const std::string& path, const std::vector<CollectionRecord>& records) {
    FileDatabase db(path, SQLITE_OPEN_READWRITE);
    db.exec("BEGIN");
    db.insert(records);
    db.exec("COMMIT");
}

void removeCollection(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::filesystem::remove(path + "-journal", ignored);
}

}  // namespace velmora
