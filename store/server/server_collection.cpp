#include "store/server/server_collection.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <map>
#include <set>

#include "base/error.h"
#include "store/database/own_tables.h"
#include "store/database/trash_fields.h"
#include "store/server/postgres_database.h"
#include "store/server/server_connection.h"
#include "store/server/server_table_check.h"
#include "store/server/server_values.h"

namespace velmora {
namespace {

// Identifiers are quoted whatever they hold: a column another program named may be
// anything.
std::string quoted(const std::string& name) {
    std::string result = "\"";
    for (char c : name) {
        if (c == '"') result += '"';
        result += c;
    }
    return result + "\"";
}

ColumnKind kindOfServerType(const std::string& type) {
    if (type == "bigint" || type == "integer" || type == "smallint") return ColumnKind::Integer;
    if (type == "double precision" || type == "real") return ColumnKind::Real;
    if (type == "bytea") return ColumnKind::Bytes;
    return ColumnKind::Text;
}

const char* serverTypeOf(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Integer: return "bigint";
    case ColumnKind::Real: return "double precision";
    case ColumnKind::Text: return "text";
    case ColumnKind::Bytes: return "bytea";
    }
    return "text";
}

// What a column is read as, so that its binary form is known.
std::string selectedAs(const StoredColumn& column) {
    switch (column.kind) {
    case ColumnKind::Integer: return quoted(column.name) + "::bigint";
    case ColumnKind::Real: return quoted(column.name) + "::float8";
    case ColumnKind::Text: return quoted(column.name) + "::text";
    case ColumnKind::Bytes: return quoted(column.name);
    }
    return quoted(column.name);
}

FieldValue binaryValue(const ServerResult& result, int row, int column, ColumnKind kind) {
    if (result.isNull(row, column)) return FieldValue{};
    Bytes bytes = result.bytes(row, column);
    switch (kind) {
    case ColumnKind::Integer: return FieldValue{static_cast<std::int64_t>(bigEndianNumber(bytes))};
    case ColumnKind::Real: return FieldValue{std::bit_cast<double>(bigEndianNumber(bytes))};
    case ColumnKind::Text: return FieldValue{std::string(bytes.begin(), bytes.end())};
    case ColumnKind::Bytes: return FieldValue{shareBytes(std::move(bytes))};
    }
    return FieldValue{};
}

// A value the server held as text, given back as a column of this kind holds it; text
// that does not read as one is left as it is.
FieldValue typedFromText(const FieldValue& value, ColumnKind kind) {
    const std::string* text = std::get_if<std::string>(&value.value);
    if (!text || kind == ColumnKind::Text) return value;
    const char* begin = text->data();
    const char* end = begin + text->size();
    if (kind == ColumnKind::Integer) {
        std::int64_t number = 0;
        auto [at, error] = std::from_chars(begin, end, number);
        return error == std::errc() && at == end ? FieldValue{number} : value;
    }
    if (kind == ColumnKind::Real) {
        double number = 0;
        auto [at, error] = std::from_chars(begin, end, number);
        return error == std::errc() && at == end ? FieldValue{number} : value;
    }
    if (!text->starts_with("\\x") || text->size() % 2 != 0) return value;
    Bytes bytes;
    for (std::size_t i = 2; i < text->size(); i += 2) {
        unsigned byte = 0;
        auto [at, error] = std::from_chars(begin + i, begin + i + 2, byte, 16);
        if (error != std::errc() || at != begin + i + 2) return value;
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    return FieldValue{shareBytes(std::move(bytes))};
}

// The table's columns as the check reads them: name, type, identity and generated flags.
constexpr const char* kColumnsSql =
    "SELECT a.attname, format_type(a.atttypid, a.atttypmod), a.attidentity, a.attgenerated, a.attnotnull,"
    " EXISTS (SELECT 1 FROM pg_index i WHERE i.indrelid = a.attrelid AND i.indisunique AND i.indnatts = 1"
    "   AND i.indkey[0] = a.attnum AND i.indpred IS NULL AND i.indexprs IS NULL)"
    " FROM pg_attribute a WHERE a.attrelid = to_regclass('pictures') AND a.attnum > 0 AND NOT a.attisdropped"
    " ORDER BY a.attnum";

class ServerCollectionStore : public CollectionStore {
public:
    // The database checks the table as it opens.
    ServerCollectionStore(const std::string& address, std::optional<std::string> password)
        : database_(address, password), connection_(database_.connection()) {}

    std::string title() const override { return connection_.shownAddress(); }

    std::vector<StoredName> names() override {
        ServerResult result = connection_.run("SELECT velmora_key, filename::text FROM pictures ORDER BY velmora_key");
        std::vector<StoredName> names;
        names.reserve(static_cast<std::size_t>(result.rows()));
        for (int row = 0; row < result.rows(); ++row) {
            StoredName entry{result.integer(row, 0), std::nullopt};
            if (!result.isNull(row, 1)) entry.name = result.text(row, 1);
            names.push_back(std::move(entry));
        }
        return names;
    }

    SharedBytes picture(std::int64_t key) override {
        ServerResult result = connection_.run("SELECT picture FROM pictures WHERE velmora_key = $1",
                                              {ServerValue::ofText(std::to_string(key))}, true);
        if (result.rows() == 0) return nullptr;
        return shareBytes(result.isNull(0, 0) ? Bytes() : result.bytes(0, 0));
    }

    std::optional<std::string> storedCopyOf(const SharedBytes& bytes) override {
        // The lengths are compared first: the server reads no other picture's bytes.
        ServerResult result = connection_.run(
            "SELECT coalesce(filename::text, '') FROM pictures WHERE octet_length(picture) = $2 AND picture = $1"
            " ORDER BY velmora_key LIMIT 1",
            {ServerValue::ofBytes(bytes), ServerValue::ofText(std::to_string(bytes->size()))});
        if (result.rows() == 0) return std::nullopt;
        return result.text(0, 0);
    }

    void add(const std::string& name, const SharedBytes& bytes) override {
        connection_.run("INSERT INTO pictures (filename, picture) VALUES ($1, $2)",
                        {ServerValue::ofText(name), ServerValue::ofBytes(bytes)});
        notifyChange();
    }

    std::vector<StoredColumn> columns() override {
        ServerResult result = connection_.run(kColumnsSql);
        std::vector<StoredColumn> columns;
        for (int row = 0; row < result.rows(); ++row) {
            if (result.text(row, 0) == kServerKeyColumn) continue;
            columns.push_back({result.text(row, 0), kindOfServerType(result.text(row, 1))});
        }
        return columns;
    }

    void walk(const TakePictureRow& takePicture, const TakeKeptRow& takeKept) override {
        const std::vector<StoredColumn> columns = this->columns();
        std::string list = kServerKeyColumn;
        for (const StoredColumn& column : columns) list += ", " + selectedAs(column);
        // One snapshot, read in batches so that a large collection never sits in memory whole.
        connection_.run("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
        struct EndRead {
            ServerConnection& connection;
            ~EndRead() { connection.rollback(); }
        } endRead{connection_};
        connection_.run("DECLARE velmora_rows NO SCROLL CURSOR FOR SELECT " + list + " FROM pictures ORDER BY velmora_key");
        std::vector<FieldValue> values(columns.size());
        for (;;) {
            ServerResult batch = connection_.run("FETCH 64 FROM velmora_rows", {}, true);
            if (batch.rows() == 0) break;
            for (int row = 0; row < batch.rows(); ++row) {
                for (std::size_t i = 0; i < columns.size(); ++i) {
                    values[i] = binaryValue(batch, row, static_cast<int>(i + 1), columns[i].kind);
                }
                takePicture(static_cast<std::int64_t>(bigEndianNumber(batch.bytes(row, 0))), values);
            }
        }
        if (!takeKept) return;
        eachKeptRow(database_, [&](const OwnTable& table, const std::vector<FieldValue>& kept) {
            if (table.contract.table != kTrashFieldsTable) return takeKept(table, kept);
            // The server keeps these values as text: they go on typed as their column is.
            std::vector<FieldValue> typed = kept;
            auto column = std::find_if(columns.begin(), columns.end(),
                                       [&](const StoredColumn& c) { return c.name == kept[1].asString(); });
            if (column != columns.end()) typed[2] = typedFromText(kept[2], column->kind);
            takeKept(table, typed);
        });
    }

private:
    void notifyChange() {
        // A hint for other windows on the collection; the change itself is committed.
        try {
            connection_.run(std::string("NOTIFY ") + kServerChangeChannel);
        } catch (const std::exception&) {
        }
    }

    PostgresDatabase database_;
    ServerConnection& connection_;
};

class NewServerCollection : public NewCollection {
public:
    NewServerCollection(const std::string& address, const std::vector<StoredColumn>& columns)
        : connection_(address), columns_(columns) {
        connection_.begin();
        // Two copies at once into one database: the second one's commit fails, as the
        // names of its table clash. A trash or marks of another collection left in the
        // database would be taken for the new one's: those are refused too.
        std::vector<std::string> tables{"pictures"};
        for (const OwnTable& table : ownTables()) tables.push_back(table.contract.table);
        for (const std::string& table : tables) {
            ServerResult existing = connection_.run("SELECT to_regclass($1) IS NOT NULL", {ServerValue::ofText(table)});
            if (existing.text(0, 0) == "t") {
                throw Error("The server collection " + connection_.shownAddress() + " holds a table " + table +
                            " already");
            }
        }
        std::string declared, names, places;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const std::string separator = i == 0 ? "" : ", ";
            declared += separator + quoted(columns[i].name) + " " + serverTypeOf(columns[i].kind);
            names += separator + quoted(columns[i].name);
            places += separator + "$" + std::to_string(i + 1);
        }
        connection_.run("CREATE TABLE pictures (" + declared + (declared.empty() ? "" : ", ") + kServerKeyColumn +
                        " bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY)");
        insertSql_ = "INSERT INTO pictures (" + names + ") VALUES (" + places + ") RETURNING " + kServerKeyColumn;
    }

    ~NewServerCollection() override { connection_.rollback(); }

    std::int64_t insert(const std::vector<FieldValue>& values) override {
        std::vector<ServerValue> parameters;
        parameters.reserve(values.size());
        for (const FieldValue& value : values) parameters.push_back(serverParameterOf(value));
        return connection_.run(insertSql_, parameters).integer(0, 0);
    }

    void insertKept(const OwnTable& table, const std::vector<FieldValue>& values) override {
        auto made = textColumns_.find(table.contract.table);
        if (made == textColumns_.end()) {
            connection_.run(table.serverCreate);
            made = textColumns_.emplace(table.contract.table, columnsNotBytes(table.contract.table)).first;
            madeKept_.push_back(&table);
        }
        std::vector<ServerValue> parameters;
        parameters.reserve(values.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            const SharedBytes* bytes = std::get_if<SharedBytes>(&values[i].value);
            // Bytes a file kept in a column the server types as text (a value kept with the
            // trash) go in the server's own text form, which a restore casts back.
            if (bytes && *bytes && made->second.count(table.contract.columns[i].name)) {
                parameters.push_back(ServerValue::ofText(byteaText(**bytes)));
            } else {
                parameters.push_back(serverParameterOf(values[i]));
            }
        }
        connection_.run(keptRowInsert(table, '$'), parameters);
    }

    void finish() override {
        // Keys the copy gave explicitly: the tables' own numbering goes on after them.
        for (const OwnTable* table : madeKept_) {
            for (const ColumnContract& column : table->contract.columns) {
                if (column.keyPosition != 1 || column.type != "INTEGER") continue;
                connection_.run("SELECT setval(sequence, (SELECT coalesce(max(" + quoted(column.name) + "), 0) + 1 FROM " +
                                    table->contract.table + "), false)"
                                    " FROM pg_get_serial_sequence($1, $2) AS sequence WHERE sequence IS NOT NULL",
                                {ServerValue::ofText(table->contract.table), ServerValue::ofText(column.name)});
            }
        }
        connection_.run(std::string("NOTIFY ") + kServerChangeChannel);
        connection_.commit();
    }

private:
    std::set<std::string> columnsNotBytes(const std::string& table) {
        ServerResult result = connection_.run(
            "SELECT attname FROM pg_attribute WHERE attrelid = to_regclass($1) AND attnum > 0"
            " AND atttypid <> 'bytea'::regtype",
            {ServerValue::ofText(table)});
        std::set<std::string> names;
        for (int row = 0; row < result.rows(); ++row) names.insert(result.text(row, 0));
        return names;
    }

    ServerConnection connection_;
    std::vector<StoredColumn> columns_;
    std::string insertSql_;
    std::map<std::string, std::set<std::string>> textColumns_;
    std::vector<const OwnTable*> madeKept_;
};

}  // namespace

void requireServerPictures(ServerConnection& connection) {
    ServerResult kind = connection.run(
        "SELECT c.relkind::text,"
        " (SELECT count(*) FROM pg_trigger t WHERE t.tgrelid = c.oid AND NOT t.tgisinternal),"
        " (SELECT count(*) FROM pg_rewrite r WHERE r.ev_class = c.oid)"
        " FROM pg_class c WHERE c.oid = to_regclass('pictures')");
    std::optional<ServerTableRow> table;
    if (kind.rows() > 0) table = ServerTableRow{kind.text(0, 0), kind.integer(0, 1), kind.integer(0, 2)};
    std::vector<ServerColumnRow> columns;
    if (table) {
        ServerResult rows = connection.run(kColumnsSql);
        for (int row = 0; row < rows.rows(); ++row) {
            columns.push_back({rows.text(row, 0), rows.text(row, 1), rows.text(row, 2), rows.text(row, 3),
                               rows.text(row, 4) == "t", rows.text(row, 5) == "t"});
        }
    }
    checkServerTable(connection.shownAddress(), table, columns);
}

std::unique_ptr<CollectionStore> openServerCollection(const std::string& address, std::optional<std::string> password) {
    return std::make_unique<ServerCollectionStore>(address, std::move(password));
}

std::unique_ptr<NewCollection> startServerCollection(const std::string& address,
                                                      const std::vector<StoredColumn>& columns) {
    return std::make_unique<NewServerCollection>(address, columns);
}

}  // namespace velmora
