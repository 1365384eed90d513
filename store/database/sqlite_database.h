#pragma once
// SqlDatabase over an open SQLite handle (a picture data file): rows are named by their
// rowid, values compare with IS, and the schema checks are those of untrusted_file.h.

#include <memory>
#include <string>

#include "store/database/sql_database.h"

struct sqlite3;

namespace velmora {

class SqliteDatabase : public SqlDatabase {
public:
    // Works on a handle it does not own, which must outlive it.
    explicit SqliteDatabase(sqlite3* db) : db_(db) {}
    sqlite3* handle() const { return db_; }

    const char* keyColumn() const override { return "rowid"; }
    const char* sameAs() const override { return "IS"; }
    bool onServer() const override { return false; }
    std::string nowSeconds() const override { return "CAST(strftime('%s', 'now') AS INTEGER)"; }
    std::string holdsBytes(const std::string& expression) const override { return "typeof(" + expression + ") = 'blob'"; }
    std::string rowDeferringBytes(const std::vector<std::string>& columns) override;
    void begin(bool forWriting) override { exec(forWriting ? "BEGIN IMMEDIATE" : "BEGIN"); }
    void commit() override { exec("COMMIT"); }
    std::unique_ptr<SqlCursor> prepare(const std::string& sql) override;
    void exec(const std::string& sql) override;
    std::int64_t changes() const override;
    std::int64_t totalChanges() const override;
    std::int64_t dataVersion() override;
    bool inTransaction() const override;
    void rollbackQuietly() noexcept override;
    bool readOnly() override;
    bool hasTable(const std::string& name) override;
    std::vector<TableColumn> columnsOf(const std::string& table) override;
    void requirePlainPictures() override;
    void requireContract(const TableContract& contract) override;
    std::unique_ptr<SqlBlob> openBlob(const std::string& table, const std::string& column, std::int64_t key) override;
    void eraseFreedSpace() override;
    void giveSpaceBack() override;

private:
    sqlite3* db_;
};

// A statement prepared on a file's handle; raises SQLite's text.
std::unique_ptr<SqlCursor> prepareSqlite(sqlite3* db, const std::string& sql);

}  // namespace velmora
