#pragma once
// The store's optimistic row check: an update or delete names the row by its rowid and
// by what was read of it, the name and the picture's length, so a row another program
// changed, or replaced under a reused rowid, is never hit.

namespace velmora {

inline constexpr const char* kRowChanged =
    "Row cannot be located for updating. Some values may have been changed since it was last read.";

inline constexpr const char* kRowCheckColumns = "filename, length(picture)";
inline constexpr const char* kRowCheckCondition = "rowid=? AND filename IS ? AND length(picture) IS ?";

}  // namespace velmora
