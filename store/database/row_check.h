#pragma once
// The store's optimistic row check: an update or delete names the row by its key (a
// file's rowid) and by what was read of it, the name and the picture's length, so a row
// another program changed, or replaced under a reused key, is never hit.

#include <string>

#include "store/database/sql_database.h"

namespace velmora {

inline constexpr const char* kRowChanged =
    "Row cannot be located for updating. Some values may have been changed since it was last read.";

inline constexpr const char* kRowCheckColumns = "filename, length(picture)";

// "<key>=? AND filename IS ? AND length(picture) IS ?", in the database's own words.
inline std::string rowCheckCondition(const SqlDatabase& db) {
    const std::string same = db.sameAs();
    return std::string(db.keyColumn()) + "=? AND filename " + same + " ? AND length(picture) " + same + " ?";
}

}  // namespace velmora
