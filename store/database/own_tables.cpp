#include "store/database/own_tables.h"

#include <algorithm>

#include "base/error.h"
#include "store/database/sql_database.h"

namespace velmora {

namespace {

ColumnContract key(const char* name, const char* type) { return {name, type, 1}; }
ColumnContract column(const char* name, const char* type = "") { return {name, type, 0}; }

}  // namespace

const std::vector<OwnTable>& ownTables() {
    // Names, bytes and kept values have no declared type: they stay exactly as `pictures` held them.
    static const std::vector<OwnTable> tables = {
        {"CREATE TABLE velmora_trash (id INTEGER PRIMARY KEY, filename, picture, deleted_at INTEGER, "
         "former_rowid INTEGER)",
         {"velmora_trash",
          {key("id", "INTEGER"), column("filename"), column("picture"), column("deleted_at", "INTEGER"),
           column("former_rowid", "INTEGER")},
          ""}},
        {"CREATE TABLE velmora_trash_fields (trash_id INTEGER, name TEXT, value)",
         {"velmora_trash_fields", {column("trash_id", "INTEGER"), column("name", "TEXT"), column("value")}, ""}},
        {"CREATE TABLE velmora_digests (picture_rowid INTEGER PRIMARY KEY, filename, length INTEGER, sha256 BLOB)",
         {"velmora_digests",
          {key("picture_rowid", "INTEGER"), column("filename"), column("length", "INTEGER"), column("sha256", "BLOB")},
          ""}},
        {"CREATE TABLE velmora_picture_keys(picture_rowid INTEGER PRIMARY KEY, size INTEGER NOT NULL, key TEXT NOT NULL)",
         {"velmora_picture_keys", {key("picture_rowid", "INTEGER"), column("size", "INTEGER"), column("key", "TEXT")}, ""}},
        {"CREATE TABLE velmora_rotation(key TEXT PRIMARY KEY, left_out INTEGER NOT NULL DEFAULT 0, shown_round INTEGER)",
         {"velmora_rotation", {key("key", "TEXT"), column("left_out", "INTEGER"), column("shown_round", "INTEGER")}, ""}},
        {"CREATE TABLE velmora_rotation_history(step INTEGER PRIMARY KEY AUTOINCREMENT, key TEXT NOT NULL, "
         "round_before INTEGER)",
         {"velmora_rotation_history", {key("step", "INTEGER"), column("key", "TEXT"), column("round_before", "INTEGER")},
          ""}},
        {"CREATE TABLE velmora_rotation_round(only INTEGER PRIMARY KEY, round INTEGER NOT NULL)",
         {"velmora_rotation_round", {key("only", "INTEGER"), column("round", "INTEGER")},
          "CREATE TABLE velmora_rotation_round(only INTEGER PRIMARY KEY CHECK (only = 1), round INTEGER NOT NULL)"}},
    };
    return tables;
}

const OwnTable& ownTable(const std::string& name) {
    const std::vector<OwnTable>& tables = ownTables();
    auto found = std::find_if(tables.begin(), tables.end(), [&](const OwnTable& t) { return t.contract.table == name; });
    if (found == tables.end()) throw Error("no table of the program is named " + name);
    return *found;
}

bool hasCheckedTable(SqlDatabase& db, const std::string& name) {
    const OwnTable& table = ownTable(name);
    if (!db.hasTable(name)) return false;
    db.requireContract(table.contract);
    return true;
}

void ensureOwnTable(SqlDatabase& db, const std::string& name) {
    if (!hasCheckedTable(db, name)) db.exec(ownTable(name).create);
}

}  // namespace velmora
