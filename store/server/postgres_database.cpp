#include "store/server/postgres_database.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <regex>
#include <utility>

#include "base/error.h"
#include "store/database/server_database.h"
#include "store/database/sql_text.h"
#include "store/database/untrusted_file.h"
#include "store/server/server_collection.h"
#include "store/server/server_values.h"

namespace velmora {
namespace {

// The server's numbers of the types read here (pg_type.oid, fixed in every release).
enum TypeOid : unsigned {
    kBool = 16, kBytea = 17, kName = 19, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25,
    kFloat4 = 700, kFloat8 = 701, kUnknown = 705, kBpchar = 1042, kVarchar = 1043
};

// A binary result value as the store holds values.
FieldValue decoded(unsigned type, Bytes bytes) {
    switch (type) {
    case kInt8: return FieldValue{static_cast<std::int64_t>(bigEndianNumber(bytes))};
    case kInt4: return FieldValue{static_cast<std::int64_t>(static_cast<std::int32_t>(bigEndianNumber(bytes)))};
    case kInt2: return FieldValue{static_cast<std::int64_t>(static_cast<std::int16_t>(bigEndianNumber(bytes)))};
    case kBool: return FieldValue{static_cast<std::int64_t>(!bytes.empty() && bytes[0] != 0)};
    case kFloat8: return FieldValue{std::bit_cast<double>(bigEndianNumber(bytes))};
    case kFloat4:
        return FieldValue{static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(bigEndianNumber(bytes))))};
    case kText: case kVarchar: case kBpchar: case kName: case kUnknown:
        return FieldValue{std::string(bytes.begin(), bytes.end())};
    default: return FieldValue{shareBytes(std::move(bytes))};
    }
}

class PostgresCursor : public SqlCursor {
public:
    PostgresCursor(PostgresDatabase& db, std::string sql) : db_(db), sql_(std::move(sql)) {}

    void bind(int index, const FieldValue& value) override {
        if (index < 1) throw Error("bind or column index out of range");
        if (parameters_.size() < static_cast<std::size_t>(index)) parameters_.resize(static_cast<std::size_t>(index));
        parameters_[static_cast<std::size_t>(index) - 1] = serverParameterOf(value);
    }
    void clearBindings() override {
        for (ServerValue& value : parameters_) value = ServerValue::null();
    }
    bool step() override {
        if (!result_) {
            result_.emplace(db_.connection().run(sql_, parameters_, true));
            const std::string command = result_->command();
            if (command.starts_with("INSERT") || command.starts_with("UPDATE") || command.starts_with("DELETE")) {
                db_.countChanges(result_->changedRows());
            }
            row_ = -1;
        }
        return ++row_ < result_->rows();
    }
    void reset() override { result_.reset(); }
    int columnCount() const override { return described().columns(); }
    std::string columnName(int column) const override { return described().columnName(column); }
    bool isNull(int column) const override { return result_->isNull(row_, column); }
    FieldValue value(int column) const override {
        if (isNull(column)) return FieldValue{};
        return decoded(result_->columnType(column), result_->bytes(row_, column));
    }
    std::int64_t integer(int column) const override {
        const FieldValue found = value(column);
        if (auto number = std::get_if<std::int64_t>(&found.value)) return *number;
        if (auto real = std::get_if<double>(&found.value)) return static_cast<std::int64_t>(*real);
        return std::strtoll(found.asString().c_str(), nullptr, 10);
    }

private:
    const ServerResult& described() const {
        if (result_) return *result_;
        if (!description_) description_.emplace(db_.connection().describe(sql_));
        return *description_;
    }

    PostgresDatabase& db_;
    std::string sql_;
    std::vector<ServerValue> parameters_;
    std::optional<ServerResult> result_;
    mutable std::optional<ServerResult> description_;
    int row_ = -1;
};

// A value read from its front with substring(), its length known first.
class PostgresBlob : public SqlBlob {
public:
    PostgresBlob(ServerConnection& connection, const std::string& table, const std::string& column, std::int64_t key)
        : connection_(connection),
          from_(" FROM " + quoteIdentifier(table) + " WHERE " + kServerKeyColumn + " = $1"),
          column_(quoteIdentifier(column)),
          key_(std::to_string(key)) {
        ServerResult found = connection_.run("SELECT octet_length(" + column_ + ")" + from_, {ServerValue::ofText(key_)});
        if (found.rows() == 0) throw Error("no such rowid: " + key_);
        if (found.isNull(0, 0)) throw Error("cannot open value of type null");
        size_ = static_cast<std::size_t>(found.integer(0, 0));
    }
    std::size_t size() const override { return size_; }
    Bytes readFront(std::size_t count) override {
        count = std::min(count, size_);
        ServerResult read = connection_.run("SELECT substring(" + column_ + "::bytea FROM 1 FOR $2)" + from_,
                                            {ServerValue::ofText(key_), ServerValue::ofText(std::to_string(count))}, true);
        if (read.rows() == 0 || read.isNull(0, 0)) throw Error("the row is gone");
        return read.bytes(0, 0);
    }

private:
    ServerConnection& connection_;
    std::string from_, column_, key_;
    std::size_t size_ = 0;
};

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::string serverStatementOf(const std::string& sql) {
    std::string result;
    int highest = 0;
    char quote = 0;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (quote) {
            if (c == quote) quote = 0;
            result += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            result += c;
        } else if (c == '?') {
            std::size_t end = i + 1;
            while (end < sql.size() && std::isdigit(static_cast<unsigned char>(sql[end]))) ++end;
            const int number = end > i + 1 ? std::stoi(sql.substr(i + 1, end - i - 1)) : highest + 1;
            highest = std::max(highest, number);
            result += "$" + std::to_string(number);
            i = end - 1;
        } else {
            result += c;
        }
    }
    // SQLite's LIKE folds ASCII letters only and knows no escape character. The pattern
    // is the operand after LIKE: literals and parameters joined by ||.
    static const std::regex like(R"((\w+)\s+like\s+((?:'[^']*'|\$\d+)(?:\s*\|\|\s*(?:'[^']*'|\$\d+))*))",
                                 std::regex::icase);
    static const std::string folded = "'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz'";
    return std::regex_replace(result, like, "translate($1, " + folded + ") LIKE translate($2, " + folded + ") ESCAPE ''");
}

PostgresDatabase::PostgresDatabase(const std::string& address, const std::optional<std::string>& password)
    : connection_(address, password) {
    requireServerPictures(connection_);
    // Before the query reads its rows, so that no later change goes unheard.
    connection_.listen(kServerChangeChannel);
}

void PostgresDatabase::countChanges(std::int64_t rows) {
    changes_ = rows;
    totalChanges_ += rows;
    if (rows == 0) return;
    if (connection_.inTransaction()) {
        announcePending_ = true;
    } else {
        try {
            announceChange();
        } catch (const std::exception&) {
            // Only a hint for the other windows: the change itself is committed.
        }
    }
}

void PostgresDatabase::commit() {
    // Delivered with the commit, once however many rows the transaction changed. A
    // transaction that cannot announce itself is not kept either, as a failed commit.
    if (std::exchange(announcePending_, false)) {
        try {
            announceChange();
        } catch (...) {
            connection_.rollback();
            throw;
        }
    }
    connection_.commit();
}

void PostgresDatabase::announceChange() { connection_.run(std::string("NOTIFY ") + kServerChangeChannel); }

const char* PostgresDatabase::keyColumn() const { return kServerKeyColumn; }

std::unique_ptr<SqlCursor> PostgresDatabase::prepare(const std::string& sql) {
    return std::make_unique<PostgresCursor>(*this, serverStatementOf(sql));
}

std::string PostgresDatabase::rowDeferringBytes(const std::vector<std::string>& columns) {
    const std::vector<TableColumn> declared = columnsOf("pictures");
    std::string list;
    for (const std::string& column : columns) {
        const std::string name = quoteIdentifier(column);
        auto found = std::find_if(declared.begin(), declared.end(), [&](const TableColumn& c) { return c.name == column; });
        const std::string type = found == declared.end() ? "" : found->type;
        if (!list.empty()) list += ", ";
        if (type == "BYTEA") {
            list += "NULL::text, octet_length(" + name + ")";
        } else if (type == "BIGINT" || type == "INTEGER" || type == "SMALLINT" || type == "TEXT" ||
                   type == "DOUBLE PRECISION" || type == "REAL" || type.starts_with("CHARACTER VARYING")) {
            list += name + ", NULL::integer";
        } else {
            list += name + "::text, NULL::integer";  // read as text: the store knows no other kind
        }
    }
    if (list.empty()) list = "*";
    return "SELECT " + list + " FROM pictures WHERE " + kServerKeyColumn + " = ?1";
}

std::int64_t PostgresDatabase::dataVersion() {
    // Moves on with every transaction that writes anywhere on the server: never missing a
    // commit of another client, sometimes telling of one that changed nothing here.
    ServerResult version = connection_.run("SELECT pg_snapshot_xmax(pg_current_snapshot())::text::bigint");
    return version.integer(0, 0);
}

bool PostgresDatabase::readOnly() {
    ServerResult result = connection_.run(
        "SELECT NOT has_table_privilege('pictures', 'INSERT') OR current_setting('transaction_read_only') = 'on'");
    return result.text(0, 0) == "t";
}

bool PostgresDatabase::hasTable(const std::string& name) {
    ServerResult result = connection_.run(
        "SELECT count(*) FROM pg_class c WHERE lower(c.relname) = lower($1) AND pg_table_is_visible(c.oid)"
        " AND c.relkind IN ('r', 'p', 'v', 'm', 'f')",
        {ServerValue::ofText(name)});
    return result.integer(0, 0) > 0;
}

std::vector<TableColumn> PostgresDatabase::columnsOf(const std::string& table) {
    ServerResult result = connection_.run(
        "SELECT a.attname, upper(format_type(a.atttypid, a.atttypmod)),"
        // indkey counts from 0.
        " coalesce(array_position(i.indkey::int2[], a.attnum) - array_lower(i.indkey::int2[], 1) + 1, 0),"
        " a.attgenerated <> ''"
        " FROM pg_attribute a LEFT JOIN pg_index i ON i.indrelid = a.attrelid AND i.indisprimary"
        " WHERE a.attrelid = to_regclass($1) AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum",
        {ServerValue::ofText(quoteIdentifier(table))});
    std::vector<TableColumn> columns;
    for (int row = 0; row < result.rows(); ++row) {
        columns.push_back({result.text(row, 0), result.text(row, 1), static_cast<int>(result.integer(row, 2)),
                           result.text(row, 3) == "t"});
    }
    return columns;
}

void PostgresDatabase::requirePlainPictures() { requireServerPictures(connection_); }

void PostgresDatabase::requireContract(const TableContract& contract) {
    const std::string table = "The table " + contract.table + " of the server collection " + connection_.shownAddress();
    ServerResult kind = connection_.run(
        "SELECT c.relkind::text,"
        " (SELECT count(*) FROM pg_trigger t WHERE t.tgrelid = c.oid AND NOT t.tgisinternal)"
        " + (SELECT count(*) FROM pg_rewrite r WHERE r.ev_class = c.oid),"
        " (SELECT count(*) FROM pg_index i WHERE i.indrelid = c.oid AND i.indisunique AND NOT i.indisprimary)"
        " FROM pg_class c WHERE c.oid = to_regclass($1)",
        {ServerValue::ofText(quoteIdentifier(contract.table))});
    if (kind.rows() == 0) return;
    if (kind.text(0, 0) != "r") throw Error(table + " is not a plain table");
    if (kind.integer(0, 1) != 0) throw Error(table + " has triggers or rules, which could change what Velmora writes");
    if (kind.integer(0, 2) != 0) throw Error(table + " has a unique index besides its key");
    const std::vector<TableColumn> declared = columnsOf(contract.table);
    for (const ColumnContract& column : contract.columns) {
        auto found = std::find_if(declared.begin(), declared.end(),
                                  [&](const TableColumn& c) { return lowerCase(c.name) == lowerCase(column.name); });
        if (found == declared.end()) throw Error(table + " lacks the column '" + column.name + "'");
        if (found->hidden) throw Error(table + " has a generated column, " + column.name);
        if (found->type != column.serverType) {
            throw Error(table + " declares the column '" + column.name + "' otherwise than as " + column.serverType);
        }
        if ((found->keyPosition != 0) != (column.keyPosition != 0)) {
            throw Error(table + " declares the column '" + column.name + "' " +
                        (column.keyPosition ? "outside" : "in") + " its primary key");
        }
    }
}

std::unique_ptr<SqlBlob> PostgresDatabase::openBlob(const std::string& table, const std::string& column,
                                                    std::int64_t key) {
    return std::make_unique<PostgresBlob>(connection_, table, column, key);
}

std::unique_ptr<SqlDatabase> openServerDatabase(const std::string& address, const std::optional<std::string>& password) {
    return std::make_unique<PostgresDatabase>(address, password);
}

}  // namespace velmora
