#pragma once
// The values of columns another program added to `pictures` (a note, a rating, a date),
// kept for a trashed picture in velmora_trash_fields beside the trash, so that a
// restore gives the row back whole. A column that is gone by then is left out.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class SqlDatabase;

inline constexpr const char* kTrashFieldsTable = "velmora_trash_fields";

// The stored columns of `pictures` besides filename and picture: not generated, not
// hidden, not the rowid's alias (a restored row gets a rowid of its own).
std::vector<std::string> extraPictureColumns(SqlDatabase& db);

// Keeps the extra columns' values of the row with rowid under the trash entry trashId;
// makes the table the first time there are any. Part of the caller's transaction.
void keepExtraFields(SqlDatabase& db, std::int64_t trashId, std::int64_t rowid);

// The columns kept for trashId that `pictures` still has.
std::vector<std::string> keptFieldsToRestore(SqlDatabase& db, std::int64_t trashId);

// The value kept for `column` under the trash entry bound as ?1, the column's name bound
// as ?<namePlace>: as kept on a file; on a server, which keeps every value as text, cast
// back to the column's own type, so that a number, bytes or a time come back as such.
std::string keptValueOf(SqlDatabase& db, const std::string& column, int namePlace);

// Forgets what was kept for trashId, or for every entry.
void forgetExtraFields(SqlDatabase& db, std::optional<std::int64_t> trashId);

}  // namespace velmora
