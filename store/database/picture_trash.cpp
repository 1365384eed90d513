#include "store/database/picture_trash.h"

#include <sqlite3.h>

#include "base/error.h"
#include "store/database/connection.h"
#include "store/database/own_tables.h"
#include "store/database/row_check.h"
#include "store/database/sql_statement.h"
#include "store/database/trash_fields.h"

namespace velmora {

namespace {

// Kept while VACUUM rebuilds the file: SQLite copies the rows of a table with an index
// under their own rowids, while a plain rowid table would be renumbered.
const char* const kRowidKeeper = "velmora_keep_rowids";

// A name for the keeper that no other object of the file holds: the first of
// velmora_keep_rowids, velmora_keep_rowids_1, ... that is free, or is the keeper a crash
// in an earlier run left (the same statement on `pictures`), which is simply used again.
std::string keeperName(sqlite3* db) {
    SqlStatement holder(db, "SELECT sql FROM main.sqlite_schema WHERE name = ?1 COLLATE NOCASE");
    for (int suffix = 0;; ++suffix) {
        const std::string name = suffix == 0 ? kRowidKeeper : kRowidKeeper + ("_" + std::to_string(suffix));
        holder.reset();
        holder.bind(1, name);
        if (!holder.step() || holder.text(0) == "CREATE INDEX " + name + " ON pictures (filename)") return name;
    }
}

std::int64_t pragmaValue(sqlite3* db, const char* pragma) {
    SqlStatement statement(db, std::string("PRAGMA ") + pragma);
    return statement.step() ? statement.integer(0) : 0;
}

}  // namespace

// Another program may have made the tables, with expressions or keys of their own: the
// values kept with the trash are checked with it, so that no picture goes into a trash
// it cannot come back from.
bool hasTrash(SqlDatabase& db) {
    hasCheckedTable(db, kTrashFieldsTable);
    return hasCheckedTable(db, kTrashTable);
}

void ensureTrash(SqlDatabase& db) {
    hasCheckedTable(db, kTrashFieldsTable);
    ensureOwnTable(db, kTrashTable);
}

std::vector<TrashedPicture> PictureTrash::list() const {
    SqlDatabase& db = connection_.database();
    std::vector<TrashedPicture> result;
    if (!hasTrash(db)) return result;
    SqlStatement statement(db, std::string("SELECT id, CAST(filename AS TEXT), deleted_at, length(picture) FROM ") +
                                   kTrashTable + " ORDER BY deleted_at DESC, id DESC");
    while (statement.step()) {
        result.push_back({statement.integer(0), statement.text(1), statement.integer(2), statement.integer(3)});
    }
    return result;
}

std::int64_t PictureTrash::heldBytes() const {
    SqlDatabase& db = connection_.database();
    if (!hasTrash(db)) return 0;
    // A name's bytes, not its characters.
    const std::string nameBytes = db.onServer() ? "octet_length(filename)" : "length(CAST(filename AS BLOB))";
    SqlStatement statement(db, "SELECT coalesce(sum(coalesce(length(picture), 0) + coalesce(" + nameBytes + ", 0)), 0) FROM " +
                                   std::string(kTrashTable));
    return statement.step() ? statement.integer(0) : 0;
}

bool PictureTrash::holds(const TrashEntry& entry) const {
    SqlDatabase& db = connection_.database();
    if (!hasTrash(db)) return false;
    // The comparison of the store's row checks, so nulls match nulls.
    const std::string same = db.sameAs();
    SqlStatement statement(db, std::string("SELECT count(*) FROM ") + kTrashTable + " WHERE id = ?1 AND filename " +
                                   same + " ?2 AND length(picture) " + same + " ?3");
    statement.bind(1, entry.id).bind(2, entry.name).bind(3, entry.pictureLength);
    return statement.step() && statement.integer(0) == 1;
}

void PictureTrash::deleteForever(std::int64_t id) {
    SqlDatabase& db = connection_.database();
    if (!hasTrash(db)) throw Error(kRowChanged);
    db.eraseFreedSpace();
    Savepoint savepoint(db, "velmora_forget");
    SqlStatement erase(db, std::string("DELETE FROM ") + kTrashTable + " WHERE id = ?1");
    erase.bind(1, id).run();
    if (db.changes() != 1) throw Error(kRowChanged);
    forgetExtraFields(db, id);
    savepoint.commit();
}

void PictureTrash::empty() {
    SqlDatabase& db = connection_.database();
    if (!hasTrash(db)) return;
    db.eraseFreedSpace();
    {
        Savepoint savepoint(db, "velmora_empty");
        db.exec(std::string("DELETE FROM ") + kTrashTable);
        forgetExtraFields(db, std::nullopt);
        savepoint.commit();
    }
    db.giveSpaceBack();
}

void dropKeptTables(SqlDatabase& db) {
    for (const OwnTable& table : ownTables()) db.exec("DROP TABLE IF EXISTS " + table.contract.table);
}

void overwriteFreedSpace(sqlite3* db) { execSql(db, "PRAGMA secure_delete = ON"); }

void vacuumFile(sqlite3* db) {
    // VACUUM builds the new file as an attached database of its own; nothing else
    // may attach one, so the limit is lifted for it alone.
    const int attachLimit = sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 1);
    const int rc = sqlite3_exec(db, "VACUUM", nullptr, nullptr, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, attachLimit);
    if (rc != SQLITE_OK) throw Error(sqlite3_errmsg(db));
}

void vacuumKeepingRowids(sqlite3* db) {
    const std::string keeper = keeperName(db);
    execSql(db, "CREATE INDEX IF NOT EXISTS " + keeper + " ON pictures (filename)");
    try {
        vacuumFile(db);
    } catch (...) {
        sqlite3_exec(db, ("DROP INDEX IF EXISTS " + keeper).c_str(), nullptr, nullptr, nullptr);
        throw;
    }
    execSql(db, "DROP INDEX IF EXISTS " + keeper);
}

void compactFile(sqlite3* db) {
    if (!sqlite3_get_autocommit(db)) throw Error("cannot give space back within a transaction");
    if (pragmaValue(db, "auto_vacuum") != 2) {
        execSql(db, "PRAGMA auto_vacuum = INCREMENTAL");
        vacuumKeepingRowids(db);
    }
    execSql(db, "PRAGMA incremental_vacuum");
}

}  // namespace velmora
