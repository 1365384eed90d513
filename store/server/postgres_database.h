#pragma once
// SqlDatabase over a PostgreSQL server: rows are named by the key column velmora_key,
// values compare with IS NOT DISTINCT FROM, "?" places become $n, bytes travel as
// binary, and a value's bytes are read from the front with substring().

#include <memory>
#include <optional>
#include <string>

#include "store/database/sql_database.h"
#include "store/server/server_connection.h"

namespace velmora {

class PostgresDatabase : public SqlDatabase {
public:
    PostgresDatabase(const std::string& address, const std::optional<std::string>& password);

    ServerConnection& connection() { return connection_; }

    const char* keyColumn() const override;
    const char* sameAs() const override { return "IS NOT DISTINCT FROM"; }
    bool onServer() const override { return true; }
    std::string nowSeconds() const override { return "CAST(extract(epoch FROM now()) AS bigint)"; }
    std::string holdsBytes(const std::string& expression) const override {
        return "pg_typeof(" + expression + ") = 'bytea'::regtype AND " + expression + " IS NOT NULL";
    }
    std::string rowDeferringBytes(const std::vector<std::string>& columns) override;
    std::unique_ptr<SqlCursor> prepare(const std::string& sql) override;
    void exec(const std::string& sql) override { connection_.run(sql); }
    std::int64_t changes() const override { return changes_; }
    std::int64_t totalChanges() const override { return totalChanges_; }
    std::int64_t dataVersion() override;
    int changeSocket() const override { return connection_.socket(); }
    bool othersChanged() override { return connection_.takeOthersNotifications(); }
    void begin(bool) override { connection_.begin(); }
    void commit() override;
    bool inTransaction() const override { return connection_.inTransaction(); }
    void rollbackQuietly() noexcept override {
        announcePending_ = false;
        connection_.rollback();
    }
    bool readOnly() override;
    bool hasTable(const std::string& name) override;
    std::vector<TableColumn> columnsOf(const std::string& table) override;
    void requirePlainPictures() override;
    void requireContract(const TableContract& contract) override;
    std::unique_ptr<SqlBlob> openBlob(const std::string& table, const std::string& column, std::int64_t key) override;
    // A server gives deleted rows' space back by itself (VACUUM), and nothing of them
    // can be read back through it.
    void eraseFreedSpace() override {}
    void giveSpaceBack() override {}

    // For the cursors: the rows a write changed. A change is announced to the other
    // clients on the collection, at the commit of a transaction.
    void countChanges(std::int64_t rows);

private:
    void announceChange();

    ServerConnection connection_;
    bool announcePending_ = false;
    std::int64_t changes_ = 0;
    std::int64_t totalChanges_ = 0;
};

// sql with SQLite's "?" and "?N" places written as $n, and a LIKE made to match as a
// file's does (ASCII letters in any case, no escape character). Quoted text is kept.
std::string serverStatementOf(const std::string& sql);

}  // namespace velmora
