#include "store/database/sqlite_database.h"

#include <sqlite3.h>

#include <vector>

#include "base/error.h"
#include "store/database/blob_reader.h"
#include "store/database/picture_trash.h"
#include "store/database/sql_statement.h"
#include "store/database/untrusted_file.h"

namespace velmora {

namespace {

class SqliteCursor : public SqlCursor {
public:
    SqliteCursor(sqlite3* db, const std::string& sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) throw Error(sqlite3_errmsg(db));
        // Sized once: the values bound stay in place until the statement runs.
        bound_.resize(static_cast<std::size_t>(sqlite3_bind_parameter_count(statement_)) + 1);
    }
    ~SqliteCursor() override { sqlite3_finalize(statement_); }
    SqliteCursor(const SqliteCursor&) = delete;
    SqliteCursor& operator=(const SqliteCursor&) = delete;

    void bind(int index, const FieldValue& value) override {
        if (index < 1 || static_cast<std::size_t>(index) >= bound_.size()) throw Error(sqlite3_errstr(SQLITE_RANGE));
        bound_[static_cast<std::size_t>(index)] = value;
        bindFieldValue(statement_, index, bound_[static_cast<std::size_t>(index)]);
    }
    void clearBindings() override {
        sqlite3_clear_bindings(statement_);
        for (FieldValue& value : bound_) value = FieldValue{};
    }
    bool step() override {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) throw Error(sqlite3_errmsg(db_));
        return false;
    }
    void reset() override { sqlite3_reset(statement_); }
    int columnCount() const override { return sqlite3_column_count(statement_); }
    std::string columnName(int column) const override { return sqlite3_column_name(statement_, column); }
    bool isNull(int column) const override { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
    std::int64_t integer(int column) const override { return sqlite3_column_int64(statement_, column); }

    FieldValue value(int column) const override {
        FieldValue result;
        switch (sqlite3_column_type(statement_, column)) {
        case SQLITE_INTEGER: result.value = static_cast<std::int64_t>(sqlite3_column_int64(statement_, column)); break;
        case SQLITE_FLOAT: result.value = sqlite3_column_double(statement_, column); break;
        case SQLITE_TEXT: {
            auto text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
            // No text for a text value: SQLite ran out of memory (its heap is limited);
            // that is an error, never an empty name.
            if (text == nullptr) throw Error(sqlite3_errmsg(db_));
            result.value = std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
            break;
        }
        case SQLITE_BLOB: {
            auto data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
            auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement_, column));
            if (data == nullptr && sqlite3_errcode(db_) == SQLITE_NOMEM) throw Error(sqlite3_errmsg(db_));
            result.value = shareBytes(Bytes(data, data + size));
            break;
        }
        default: break;
        }
        return result;
    }

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
    std::vector<FieldValue> bound_;
};

}  // namespace

std::unique_ptr<SqlCursor> prepareSqlite(sqlite3* db, const std::string& sql) {
    return std::make_unique<SqliteCursor>(db, sql);
}

SqlStatement::SqlStatement(sqlite3* db, const std::string& sql) : cursor_(prepareSqlite(db, sql)) {}

void execSql(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw Error(text);
    }
}

bool hasTable(sqlite3* db, const std::string& name) {
    SqlStatement statement(db, "SELECT count(*) FROM main.sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    statement.bind(1, name);
    return statement.step() && statement.integer(0) > 0;
}

std::unique_ptr<SqlCursor> SqliteDatabase::prepare(const std::string& sql) { return prepareSqlite(db_, sql); }

void SqliteDatabase::exec(const std::string& sql) { execSql(db_, sql); }

std::string SqliteDatabase::rowDeferringBytes(const std::vector<std::string>& columns) {
    return rowStatementDeferringBlobs(columns);
}

std::int64_t SqliteDatabase::changes() const { return sqlite3_changes64(db_); }

std::int64_t SqliteDatabase::totalChanges() const { return sqlite3_total_changes64(db_); }

std::int64_t SqliteDatabase::dataVersion() {
    SqlStatement version(db_, "PRAGMA data_version");
    return version.step() ? version.integer(0) : -1;
}

bool SqliteDatabase::inTransaction() const { return !sqlite3_get_autocommit(db_); }

void SqliteDatabase::rollbackQuietly() noexcept {
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool SqliteDatabase::readOnly() { return sqlite3_db_readonly(db_, "main") == 1; }

bool SqliteDatabase::hasTable(const std::string& name) { return velmora::hasTable(db_, name); }

std::vector<TableColumn> SqliteDatabase::columnsOf(const std::string& table) {
    std::vector<TableColumn> columns;
    SqlStatement info(db_, "SELECT name, upper(type), pk, hidden FROM pragma_table_xinfo(?1)");
    info.bind(1, table);
    while (info.step()) {
        columns.push_back({info.text(0), info.text(1), static_cast<int>(info.integer(2)), info.integer(3) != 0});
    }
    return columns;
}

void SqliteDatabase::requirePlainPictures() { requirePlainPictureTable(db_); }

void SqliteDatabase::requireContract(const TableContract& contract) { requireTableContract(db_, contract); }

std::unique_ptr<SqlBlob> SqliteDatabase::openBlob(const std::string& table, const std::string& column, std::int64_t key) {
    return std::make_unique<BlobReader>(db_, table, column, key);
}

void SqliteDatabase::eraseFreedSpace() { overwriteFreedSpace(db_); }

void SqliteDatabase::giveSpaceBack() { compactFile(db_); }

}  // namespace velmora
