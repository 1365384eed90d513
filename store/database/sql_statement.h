#pragma once
// A prepared SQLite statement that finalizes itself, for the store's own small
// statements (the trash, the digests, the check). Errors are raised with SQLite's text.

#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "base/bytes.h"
#include "base/error.h"

namespace velmora {

class SqlStatement {
public:
    SqlStatement(sqlite3* db, const std::string& sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) raise();
    }
    ~SqlStatement() { sqlite3_finalize(statement_); }
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    SqlStatement& bind(int index, std::int64_t value) { return check(sqlite3_bind_int64(statement_, index, value)); }
    SqlStatement& bind(int index, const std::string& text) {
        return check(sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    }
    SqlStatement& bindBlob(int index, const void* data, std::size_t size) {
        static const std::uint8_t none = 0;
        return check(sqlite3_bind_blob64(statement_, index, size ? data : &none, size, SQLITE_TRANSIENT));
    }

    // True while a row is there; false when done. Raises SQLite's error.
    bool step() {
        int rc = sqlite3_step(statement_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) raise();
        return false;
    }
    // Ready to step again from the start, with the same bindings.
    void reset() { sqlite3_reset(statement_); }
    // Runs a statement that returns no rows.
    void run() {
        while (step()) {
        }
    }

    std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
    bool isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
    std::string text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        if (!text && !isNull(column)) raise();  // out of memory
        return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))) : "";
    }
    Bytes blob(int column) const {
        const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
        const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement_, column));
        if (!data && size == 0 && sqlite3_errcode(db_) == SQLITE_NOMEM) raise();
        return data ? Bytes(data, data + size) : Bytes();
    }
    sqlite3_stmt* handle() const { return statement_; }

private:
    SqlStatement& check(int rc) {
        if (rc != SQLITE_OK) throw Error(sqlite3_errstr(rc));
        return *this;
    }
    [[noreturn]] void raise() const { throw Error(sqlite3_errmsg(db_)); }

    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

// Runs statements that return nothing; raises SQLite's error.
inline void execSql(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw Error(text);
    }
}

// Whether the main schema holds a table of that name (any case).
inline bool hasTable(sqlite3* db, const std::string& name) {
    SqlStatement statement(db, "SELECT count(*) FROM main.sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    statement.bind(1, name);
    return statement.step() && statement.integer(0) > 0;
}

// A savepoint: released by commit(), rolled back when dropped without it. Nested in
// the caller's transaction when one is open, its own transaction otherwise.
class Savepoint {
public:
    Savepoint(sqlite3* db, std::string name) : db_(db), name_(std::move(name)) { execSql(db_, "SAVEPOINT " + name_); }
    ~Savepoint() {
        if (!done_) {
            sqlite3_exec(db_, ("ROLLBACK TO " + name_).c_str(), nullptr, nullptr, nullptr);
            sqlite3_exec(db_, ("RELEASE " + name_).c_str(), nullptr, nullptr, nullptr);
        }
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void commit() {
        execSql(db_, "RELEASE " + name_);
        done_ = true;
    }

private:
    sqlite3* db_;
    std::string name_;
    bool done_ = false;
};

}  // namespace velmora
