#include "store/database/trash_fields.h"

#include <algorithm>
#include <cctype>

#include "base/error.h"
#include "store/database/own_tables.h"
#include "store/database/row_check.h"
#include "store/database/sql_statement.h"
#include "store/database/sql_text.h"

namespace velmora {

namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

// Another program may have made the table, with expressions or keys of its own.
bool hasFields(SqlDatabase& db) { return hasCheckedTable(db, kTrashFieldsTable); }

}  // namespace

std::vector<std::string> extraPictureColumns(SqlDatabase& db) {
    const std::vector<TableColumn> columns = db.columnsOf("pictures");
    const auto keys = std::count_if(columns.begin(), columns.end(), [](const TableColumn& c) { return c.keyPosition > 0; });
    const std::string key = upper(db.keyColumn());
    std::vector<std::string> extra;
    for (const TableColumn& column : columns) {
        const std::string name = upper(column.name);
        const bool rowidAlias = keys == 1 && column.keyPosition == 1 && column.type == "INTEGER";
        if (name != "FILENAME" && name != "PICTURE" && name != key && !column.hidden && !rowidAlias) {
            extra.push_back(column.name);
        }
    }
    return extra;
}

void keepExtraFields(SqlDatabase& db, std::int64_t trashId, std::int64_t rowid) {
    const std::vector<std::string> columns = extraPictureColumns(db);
    if (columns.empty()) return;
    ensureOwnTable(db, kTrashFieldsTable);
    for (const std::string& column : columns) {
        SqlStatement keep(db, std::string("INSERT INTO ") + kTrashFieldsTable + " (trash_id, name, value) SELECT ?1, ?2, " +
                                  quoteIdentifier(column) + " FROM pictures WHERE " + db.keyColumn() + " = ?3");
        keep.bind(1, trashId).bind(2, column).bind(3, rowid).run();
        if (db.changes() != 1) throw Error(kRowChanged);
    }
}

std::vector<std::string> keptFieldsToRestore(SqlDatabase& db, std::int64_t trashId) {
    std::vector<std::string> restorable;
    if (!hasFields(db)) return restorable;
    const std::vector<std::string> present = extraPictureColumns(db);
    SqlStatement kept(db, std::string("SELECT DISTINCT name FROM ") + kTrashFieldsTable + " WHERE trash_id = ?1");
    kept.bind(1, trashId);
    while (kept.step()) {
        const std::string name = kept.text(0);
        if (std::find(present.begin(), present.end(), name) != present.end()) restorable.push_back(name);
    }
    return restorable;
}

std::string keptValueOf(SqlDatabase& db, const std::string& column, int namePlace) {
    const std::string kept = std::string("(SELECT value FROM ") + kTrashFieldsTable + " WHERE trash_id = ?1 AND name = ?" +
                             std::to_string(namePlace) + " LIMIT 1)";
    if (!db.onServer()) return kept;
    // The type as the server's catalog spells it (format_type quotes what needs quoting).
    SqlStatement type(db, "SELECT format_type(atttypid, atttypmod) FROM pg_attribute"
                          " WHERE attrelid = to_regclass('pictures') AND attname = ?1 AND attnum > 0");
    type.bind(1, column);
    if (!type.step()) throw Error(kRowChanged);
    return "CAST(" + kept + " AS " + type.text(0) + ")";
}

void forgetExtraFields(SqlDatabase& db, std::optional<std::int64_t> trashId) {
    if (!hasFields(db)) return;
    if (!trashId) {
        db.exec(std::string("DELETE FROM ") + kTrashFieldsTable);
        return;
    }
    SqlStatement forget(db, std::string("DELETE FROM ") + kTrashFieldsTable + " WHERE trash_id = ?1");
    forget.bind(1, *trashId).run();
}

}  // namespace velmora
