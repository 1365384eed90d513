// The picture query's writes that keep pictures: delete into the trash, restore from it,
// and the writes of an undo, each aimed at a row by its identity (row_check.h).
#include <algorithm>

#include "base/error.h"
#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "store/database/row_check.h"
#include "store/database/sql_statement.h"
#include "store/database/sql_text.h"
#include "store/database/trash_fields.h"

namespace velmora {

namespace {

void bindIdentity(SqlStatement& statement, int firstIndex, const PictureQuery::RowIdentity& row) {
    statement.bind(firstIndex, row.rowid).bind(firstIndex + 1, row.name).bind(firstIndex + 2, row.pictureLength);
}

}  // namespace

std::optional<PictureQuery::RowIdentity> PictureQuery::currentIdentity() {
    if (state_ == DatasetState::Closed || current_ < 0) return std::nullopt;
    if (!rowCheck_ || rowCheck_->rowid != rowids_[static_cast<size_t>(current_)]) readRowCheck();
    return rowCheck_;
}

TrashEntry PictureQuery::trashRow(const RowIdentity& row) {
    SqlDatabase& db = connection_.database();
    // One transaction: the picture is in `pictures` or in the trash, never in neither.
    // The row's cell on its page of `pictures` (the name, the picture's first bytes) is
    // overwritten, so that emptying the trash leaves nothing of it in the file.
    db.eraseFreedSpace();
    Savepoint savepoint(db, "velmora_trash");
    ensureTrash(db);
    SqlStatement keep(db, std::string("INSERT INTO ") + kTrashTable +
                              " (filename, picture, deleted_at, former_rowid) "
                              "SELECT filename, picture, " + db.nowSeconds() + ", " + db.keyColumn() + " FROM pictures WHERE " + rowCheckCondition(db) + " RETURNING id");
    bindIdentity(keep, 1, row);
    if (!keep.step()) throw Error(kRowChanged);
    const std::int64_t id = keep.integer(0);
    keep.run();
    if (db.changes() != 1) throw Error(kRowChanged);
    // Columns another program added go with it, to come back on a restore.
    keepExtraFields(db, id, row.rowid);
    SqlStatement erase(db, "DELETE FROM pictures WHERE " + rowCheckCondition(db));
    bindIdentity(erase, 1, row);
    erase.run();
    if (db.changes() != 1) throw Error(kRowChanged);
    savepoint.commit();
    return TrashEntry{id, row.name, row.pictureLength};
}

std::optional<TrashEntry> PictureQuery::moveToTrash() { return removeCurrent(true); }

TrashEntry PictureQuery::moveRowToTrash(const RowIdentity& row) {
    ensureOpen();
    browseCheck();
    auto at = std::find(rowids_.begin(), rowids_.end(), row.rowid);
    if (at == rowids_.end()) throw Error(kRowChanged);
    TrashEntry entry = trashRow(row);
    if (rowCheck_ && rowCheck_->rowid == row.rowid) rowCheck_.reset();
    forgetRow(static_cast<int>(at - rowids_.begin()));
    notify(nullptr);
    return entry;
}

PictureQuery::RowCheck PictureQuery::insertFromTrash(std::int64_t id, const std::optional<TrashEntry>& expected,
                                                     bool underFormerRowid) {
    ensureOpen();
    browseCheck();
    SqlDatabase& db = connection_.database();
    if (!hasTrash(db)) throw Error(kRowChanged);
    Savepoint savepoint(db, "velmora_restore");
    const std::string same = db.sameAs();
    const std::string condition =
        expected ? " WHERE id = ?1 AND filename " + same + " ?2 AND length(picture) " + same + " ?3" : " WHERE id = ?1";
    // The columns another program added, as the row held them, where `pictures` still has them.
    const std::vector<std::string> extra = keptFieldsToRestore(db, id);
    // Their names follow the places in use: a server must know the type of every place.
    const std::size_t firstName = expected ? 4 : 2;
    std::string columns = "filename, picture", values = "filename, picture";
    // A server's key is its own to give: a restored row gets a new one there.
    if (underFormerRowid && !db.onServer()) {
        // A rowid taken since (another program's insert after the last row went) gives a new one.
        const std::string key = db.keyColumn();
        columns += ", " + key;
        values += ", CASE WHEN former_rowid IN (SELECT " + key + " FROM pictures) THEN NULL ELSE former_rowid END";
    }
    for (std::size_t i = 0; i < extra.size(); ++i) {
        columns += ", " + quoteIdentifier(extra[i]);
        values += ", " + keptValueOf(db, extra[i], static_cast<int>(firstName + i));
    }
    SqlStatement restore(db, "INSERT INTO pictures (" + columns + ") SELECT " + values + " FROM " + kTrashTable +
                                 condition + " RETURNING " + db.keyColumn() + ", " + kRowCheckColumns);
    restore.bind(1, id);
    if (expected) restore.bind(2, expected->name).bind(3, expected->pictureLength);
    for (std::size_t i = 0; i < extra.size(); ++i) restore.bind(static_cast<int>(firstName + i), extra[i]);
    std::optional<RowCheck> added = stepWrite(restore.cursor(), 1);
    if (!added || db.changes() != 1) throw Error(kRowChanged);
    SqlStatement erase(db, std::string("DELETE FROM ") + kTrashTable + " WHERE id = ?1");
    erase.bind(1, id).run();
    // Any other count: the entry is not the one row restored; nothing changes.
    if (db.changes() != 1) throw Error(kRowChanged);
    forgetExtraFields(db, id);
    savepoint.commit();
    return *added;
}

void PictureQuery::restoreFromTrash(std::int64_t id, const std::optional<TrashEntry>& expected) {
    const RowCheck added = insertFromTrash(id, expected, false);
    rowids_.push_back(added.rowid);
    showRestored(static_cast<int>(rowids_.size()) - 1, added);
}

void PictureQuery::putBack(const TrashEntry& entry, int row) {
    const RowCheck added = insertFromTrash(entry.id, entry, true);
    row = std::clamp(row, 0, static_cast<int>(rowids_.size()));
    rowids_.insert(rowids_.begin() + row, added.rowid);
    showRestored(row, added);
}

void PictureQuery::showRestored(int row, const RowCheck& added) {
    current_ = row;
    rowCheck_ = added;
    pending_ = {};
    state_ = DatasetState::Browse;
    invalidateRow();
    atStart_ = atEnd_ = false;
    notify(nullptr);
}

PictureQuery::RowIdentity PictureQuery::renameRow(const RowIdentity& row, const FieldValue& name) {
    ensureOpen();
    browseCheck();
    SqlDatabase& db = connection_.database();
    SqlStatement update(db, "UPDATE pictures SET filename = ?1 WHERE " + rowCheckCondition(db) + " RETURNING " +
                                db.keyColumn() + ", " + kRowCheckColumns);
    update.bind(1, name);
    bindIdentity(update, 2, row);
    std::optional<RowCheck> written = stepWrite(update.cursor(), 1);
    if (!written) throw Error(kRowChanged);
    if (current_ >= 0 && rowids_[static_cast<size_t>(current_)] == row.rowid) rowCheck_ = written;
    invalidateRow();
    notify(nullptr);
    return *written;
}

}  // namespace velmora
