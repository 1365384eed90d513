#include "store/database/untrusted_file.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "base/error.h"
#include "store/database/sql_tokens.h"

namespace velmora {

namespace {

void setFlag(sqlite3* db, int option, int value) {
    int now = -1;
    if (sqlite3_db_config(db, option, value, &now) != SQLITE_OK || now != value) {
        throw Error("SQLite refused a safety setting of the picture data file");
    }
}

// Runs sql and hands each row to onRow; raises Error with SQLite's text when it fails.
template <typename OnRow>
void eachRow(sqlite3* db, const char* sql, OnRow onRow) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) throw Error(sqlite3_errmsg(db));
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) onRow(statement);
    std::string message = rc == SQLITE_DONE ? "" : sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    if (!message.empty()) throw Error(message);
}

std::string textOf(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text ? reinterpret_cast<const char*>(text) : "";
}

struct Row {
    bool found = false;
    std::string text;  // the first column as text
    long long first = 0, second = 0;  // the second and third columns
};

Row firstRow(sqlite3* db, const char* sql) {
    Row row;
    eachRow(db, sql, [&](sqlite3_stmt* statement) {
        if (row.found) return;
        row = {true, textOf(statement, 0), sqlite3_column_int64(statement, 1), sqlite3_column_int64(statement, 2)};
    });
    return row;
}

// The first column of every row, as text (empty for NULL).
std::vector<std::string> texts(sqlite3* db, const char* sql) {
    std::vector<std::string> result;
    eachRow(db, sql, [&](sqlite3_stmt* statement) { result.push_back(textOf(statement, 0)); });
    return result;
}

bool anyRow(sqlite3* db, const char* countSql) { return std::stoll(firstRow(db, countSql).text) > 0; }

// CHECK is a reserved word: as a bare word in the table's definition it is a constraint.
bool declaresCheck(const std::string& createSql) {
    for (const SqlToken& token : sqlTokens(createSql)) {
        if (isWord(token, "check")) return true;
    }
    return false;
}

// ON CONFLICT REPLACE in a table's definition makes an insert or update of one row
// silently delete every other row it collides with: a second picture of the same name
// would erase the first.
bool replacesOnConflict(const std::string& createSql) {
    const std::vector<SqlToken> tokens = sqlTokens(createSql);
    for (std::size_t at = 1; at < tokens.size(); ++at) {
        if (isWord(tokens[at - 1], "conflict") && isWord(tokens[at], "replace")) return true;
    }
    return false;
}

// A default as pragma_table_xinfo shows it (the parentheses around it dropped): one
// literal, a name taken as text, or a keyword such as NULL or CURRENT_TIMESTAMP, after
// any signs. Anything else is an expression, and an expression can call a function.
bool isPlainValue(const std::string& defaultSql) {
    const std::vector<SqlToken> tokens = sqlTokens(defaultSql);
    std::size_t at = 0;
    while (at < tokens.size() && tokens[at].kind == SqlTokenKind::Symbol &&
           (tokens[at].text == "+" || tokens[at].text == "-")) {
        ++at;
    }
    return at + 1 == tokens.size() && tokens[at].kind != SqlTokenKind::Symbol &&
           tokens[at].kind != SqlTokenKind::Unfinished;
}

[[noreturn]] void refuse(const std::string& table, const std::string& what) {
    // A name from the file is quoted as far as a message needs.
    const std::string shown = table.size() > 64 ? table.substr(0, 64) + "..." : table;
    throw Error("The table '" + shown + "' " + what + "; a picture data file holds a plain table");
}

}  // namespace

void limitSqliteHeap() {
    static const bool limited = [] {
        sqlite3_hard_heap_limit64(kSqliteHeapLimit);
        return true;
    }();
    (void)limited;
}

ScopedSqliteHeapLimit::ScopedSqliteHeapLimit(long long bytes) {
    limitSqliteHeap();
    previous_ = sqlite3_hard_heap_limit64(bytes);
}

ScopedSqliteHeapLimit::~ScopedSqliteHeapLimit() { sqlite3_hard_heap_limit64(previous_); }

void applyUntrustedFileSettings(sqlite3* db) {
    limitSqliteHeap();
    setFlag(db, SQLITE_DBCONFIG_DEFENSIVE, 1);
    setFlag(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0);
    setFlag(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0);
    setFlag(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
    // Statements are the program's own; nothing may attach another file.
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
}

namespace {

// What a table is checked for: all of it for one the program reads and writes; only
// what SQLite's integrity check evaluates on each row for one it merely checks.
enum class TableUse { ReadAndWritten, OnlyChecked };

// table as an SQL string literal (the file's own names may hold quotes).
std::string literal(const std::string& table) {
    std::string quoted = "'";
    for (char c : table) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

void requirePlain(sqlite3* db, const std::string& table, const std::string& ownDefinition, TableUse use) {
    const std::string name = literal(table);
    const auto fail = [&](const std::string& what) { refuse(table, what); };
    // Names compare without regard to case, as SQL does; table_list reads the schema only.
    const std::string sql =
        "SELECT type, wr, "
        "(SELECT count(*) FROM main.sqlite_schema WHERE type = 'trigger' AND tbl_name = " + name + " COLLATE NOCASE) "
        "FROM pragma_table_list(" + name + ") WHERE schema = 'main'";
    Row row = firstRow(db, sql.c_str());
    if (!row.found) return;  // left to the statement: "no such table: pictures"
    const std::string columns = "pragma_table_xinfo(" + name + ", 'main')";
    if (use == TableUse::ReadAndWritten) {
        if (row.text == "view") fail("is a view");
        if (row.text != "table") fail("is a " + row.text + " table");
        if (row.first != 0) fail("has no rowids");
        if (row.second > 0) fail("carries triggers");
        // A column named like the rowid would stand in for it in every statement here.
        if (anyRow(db, ("SELECT count(*) FROM " + columns + " WHERE lower(name) IN ('rowid', '_rowid_', 'oid')").c_str())) {
            fail("has a column named like its rowid");
        }
    } else if (row.text != "table") {
        return;  // a virtual table's module checks itself, and runs nothing of the file
    }

    // Built-in functions run in these even with the schema untrusted, on every read
    // or write of a row: printf('%.*c', 67108864, filename) is a 64 MB value per column.
    if (anyRow(db, ("SELECT count(*) FROM " + columns + " WHERE hidden != 0").c_str())) fail("has generated columns");
    for (const std::string& sql : texts(db, ("SELECT sql FROM main.sqlite_schema WHERE type = 'table' AND name = " +
                                             name + " COLLATE NOCASE").c_str())) {
        if (declaresCheck(sql) && (ownDefinition.empty() || sql != ownDefinition)) fail("has CHECK constraints");
        if (use == TableUse::ReadAndWritten && replacesOnConflict(sql)) fail("replaces rows on a conflict");
    }
    if (use == TableUse::ReadAndWritten) {
        for (const std::string& value :
             texts(db, ("SELECT dflt_value FROM " + columns + " WHERE dflt_value IS NOT NULL").c_str())) {
            if (!isPlainValue(value)) fail("has a column default that is not a plain value");
        }
    }
    const std::string indexes = "pragma_index_list(" + name + ", 'main')";
    if (anyRow(db, ("SELECT count(*) FROM " + indexes + " AS list, "
                    "pragma_index_xinfo(list.name, 'main') AS part WHERE part.cid = -2").c_str())) {
        fail("has an index on an expression");
    }
    // A partial index's condition is evaluated on every insert and delete.
    if (anyRow(db, ("SELECT count(*) FROM " + indexes + " WHERE partial").c_str())) fail("has an index with a WHERE clause");
}

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

void requirePlainPictureTable(sqlite3* db) { requirePlainTable(db, "pictures"); }

void requirePlainTable(sqlite3* db, const std::string& table) {
    requirePlain(db, table, "", TableUse::ReadAndWritten);
}

void requireInertTable(sqlite3* db, const std::string& table) { requirePlain(db, table, "", TableUse::OnlyChecked); }

void requireTableContract(sqlite3* db, const TableContract& contract) {
    requirePlain(db, contract.table, contract.formerDefinition, TableUse::ReadAndWritten);
    const std::string name = literal(contract.table);
    const auto fail = [&](const std::string& what) { refuse(contract.table, what); };
    struct Declared {
        std::string type;
        long long key;
    };
    std::vector<std::pair<std::string, Declared>> declared;
    eachRow(db, ("SELECT name, type, pk FROM pragma_table_xinfo(" + name + ", 'main')").c_str(),
            [&](sqlite3_stmt* row) {
                declared.push_back({lowerCase(textOf(row, 0)), {lowerCase(textOf(row, 1)), sqlite3_column_int64(row, 2)}});
            });
    int keyColumns = 0;
    for (const ColumnContract& column : contract.columns) {
        auto found = std::find_if(declared.begin(), declared.end(),
                                  [&](const auto& entry) { return entry.first == lowerCase(column.name); });
        if (found == declared.end()) fail("lacks the column '" + column.name + "'");
        if (found->second.type != lowerCase(column.type) || found->second.key != column.keyPosition) {
            fail("declares the column '" + column.name + "' otherwise than as " +
                 (column.type.empty() ? std::string("untyped") : column.type) +
                 (column.keyPosition ? " in its primary key" : " outside its primary key"));
        }
        if (column.keyPosition) ++keyColumns;
    }
    if (std::count_if(declared.begin(), declared.end(), [](const auto& entry) { return entry.second.key != 0; }) !=
        keyColumns) {
        fail("has another primary key");
    }
    // An INTEGER PRIMARY KEY declared DESC is an ordinary column with an index of its own,
    // not the rowid: a row added without an id then has none.
    const bool rowidKey = keyColumns == 1 && std::any_of(contract.columns.begin(), contract.columns.end(), [](const auto& c) {
                              return c.keyPosition == 1 && lowerCase(c.type) == "integer";
                          });
    const std::string indexes = "pragma_index_list(" + name + ", 'main')";
    if (rowidKey && anyRow(db, ("SELECT count(*) FROM " + indexes + " WHERE origin = 'pk'").c_str())) {
        fail("has a key that is not its rowid");
    }
    if (anyRow(db, ("SELECT count(*) FROM " + indexes + " WHERE \"unique\" AND origin != 'pk'").c_str())) {
        fail("has a unique index besides its key");
    }
}

}  // namespace velmora
