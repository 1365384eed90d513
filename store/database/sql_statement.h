#pragma once
// A prepared statement that finalizes itself, for the store's own small statements (the
// trash, the digests, the check), on a file's handle or on any SqlDatabase. Errors are
// raised with the database's text.

#include <cstdint>
#include <memory>
#include <string>

#include "base/bytes.h"
#include "base/error.h"
#include "store/database/field_value.h"
#include "store/database/sql_database.h"

struct sqlite3;

namespace velmora {

class SqlStatement {
public:
    SqlStatement(SqlDatabase& db, const std::string& sql) : cursor_(db.prepare(sql)) {}
    SqlStatement(sqlite3* db, const std::string& sql);

    SqlStatement& bind(int index, const FieldValue& value) {
        cursor_->bind(index, value);
        return *this;
    }
    SqlStatement& bind(int index, std::int64_t value) { return bind(index, FieldValue{value}); }
    SqlStatement& bind(int index, const std::string& text) { return bind(index, FieldValue{text}); }
    SqlStatement& bindBlob(int index, const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        return bind(index, FieldValue{shareBytes(Bytes(bytes, bytes + size))});
    }

    // True while a row is there; false when done. Raises the database's error.
    bool step() { return cursor_->step(); }
    // Ready to step again from the start, with the same bindings.
    void reset() { cursor_->reset(); }
    // Runs a statement that returns no rows.
    void run() {
        while (step()) {
        }
    }

    std::int64_t integer(int column) const { return cursor_->integer(column); }
    bool isNull(int column) const { return cursor_->isNull(column); }
    FieldValue value(int column) const { return cursor_->value(column); }
    std::string text(int column) const { return value(column).asString(); }
    // The stored bytes, shared (an empty buffer for null).
    SharedBytes bytes(int column) const { return value(column).asBytes(); }
    Bytes blob(int column) const { return *bytes(column); }
    SqlCursor& cursor() { return *cursor_; }

private:
    std::unique_ptr<SqlCursor> cursor_;
};

// Runs statements that return nothing; raises SQLite's error.
void execSql(sqlite3* db, const std::string& sql);
inline void execSql(SqlDatabase& db, const std::string& sql) { db.exec(sql); }

// Whether the main schema holds a table of that name (any case).
bool hasTable(sqlite3* db, const std::string& name);

// A savepoint: released by commit(), rolled back when dropped without it. Nested in
// the caller's transaction when one is open, its own transaction otherwise.
class Savepoint {
public:
    Savepoint(SqlDatabase& db, std::string name) : db_(db), name_(std::move(name)), outermost_(!db.inTransaction()) {
        if (outermost_) {
            db_.begin(false);
        } else {
            db_.exec("SAVEPOINT " + name_);
        }
    }
    ~Savepoint() {
        if (done_) return;
        if (outermost_) {
            db_.rollbackQuietly();
            return;
        }
        try {
            db_.exec("ROLLBACK TO " + name_);
            db_.exec("RELEASE " + name_);
        } catch (...) {
            // Nothing more to undo: a failed rollback leaves the caller's transaction to end.
        }
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void commit() {
        if (outermost_) {
            db_.commit();
        } else {
            db_.exec("RELEASE " + name_);
        }
        done_ = true;
    }

private:
    SqlDatabase& db_;
    std::string name_;
    bool outermost_;
    bool done_ = false;
};

}  // namespace velmora
