#include "store/database/untrusted_file.h"

#include <sqlite3.h>

#include <string>

#include "base/error.h"

namespace velmora {

namespace {

void setFlag(sqlite3* db, int option, int value) {
    int now = -1;
    if (sqlite3_db_config(db, option, value, &now) != SQLITE_OK || now != value) {
        throw Error("SQLite refused a safety setting of the picture data file");
    }
}

struct Row {
    bool found = false;
    std::string text;  // the first column as text
    long long first = 0, second = 0;  // the second and third columns
};

Row firstRow(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) throw Error(sqlite3_errmsg(db));
    Row row;
    int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
        row.found = true;
        const unsigned char* text = sqlite3_column_text(statement, 0);
        row.text = text ? reinterpret_cast<const char*>(text) : "";
        row.first = sqlite3_column_int64(statement, 1);
        row.second = sqlite3_column_int64(statement, 2);
    }
    std::string message = rc == SQLITE_ROW || rc == SQLITE_DONE ? "" : sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    if (!message.empty()) throw Error(message);
    return row;
}

[[noreturn]] void refuse(const std::string& what) {
    throw Error("The table 'pictures' " + what + "; a picture data file holds a plain table");
}

}  // namespace

void applyUntrustedFileSettings(sqlite3* db) {
    setFlag(db, SQLITE_DBCONFIG_DEFENSIVE, 1);
    setFlag(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0);
    setFlag(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0);
    setFlag(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
    // Statements are the program's own; nothing may attach another file.
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
}

void requirePlainPictureTable(sqlite3* db) {
    // Names compare without regard to case, as SQL does; table_list reads the schema only.
    const char* sql =
        "SELECT type, wr, "
        "(SELECT count(*) FROM main.sqlite_schema WHERE type = 'trigger' AND tbl_name = 'pictures' COLLATE NOCASE) "
        "FROM pragma_table_list('pictures') WHERE schema = 'main'";
    Row row = firstRow(db, sql);
    if (!row.found) return;  // left to the statement: "no such table: pictures"
    if (row.text == "view") refuse("is a view");
    if (row.text != "table") refuse("is a " + row.text + " table");
    if (row.first != 0) refuse("has no rowids");
    if (row.second > 0) refuse("carries triggers");
    // A column named like the rowid would stand in for it in every statement here.
    row = firstRow(db, "SELECT count(*) FROM pragma_table_xinfo('pictures', 'main') "
                       "WHERE lower(name) IN ('rowid', '_rowid_', 'oid')");
    if (row.found && std::stoll(row.text) > 0) refuse("has a column named like its rowid");
}

}  // namespace velmora
