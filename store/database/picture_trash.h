#pragma once
// The trash: pictures deleted by the program, kept in the same file in the table
// velmora_trash beside `pictures` until the user empties it. `pictures` itself is never
// changed by it: no column, no rowid. The table is made by the first delete that keeps
// a picture (PictureQuery::moveToTrash), never by opening a file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/database/field_value.h"

struct sqlite3;

namespace velmora {

class Connection;
class SqlDatabase;

inline constexpr const char* kTrashTable = "velmora_trash";

// One picture in the trash, without its bytes.
struct TrashedPicture {
    std::int64_t id = 0;
    std::string name;            // as stored ("" for a null name)
    std::int64_t deletedAt = 0;  // seconds since 1970, UTC
    std::int64_t size = 0;       // bytes of the stored picture
};

// What a deleted row was, to find it again in the trash: the trash entry, and the
// name and picture length the row had.
struct TrashEntry {
    std::int64_t id = 0;
    FieldValue name;
    FieldValue pictureLength;
};

// Whether the file has a trash table (a file of another program may not).
bool hasTrash(SqlDatabase& db);
// Makes the trash table when missing; part of the caller's transaction.
void ensureTrash(SqlDatabase& db);

class PictureTrash {
public:
    explicit PictureTrash(Connection& connection) : connection_(connection) {}

    // Newest first; empty when the file has no trash.
    std::vector<TrashedPicture> list() const;
    // The bytes the trash holds (names and pictures).
    std::int64_t heldBytes() const;
    // True when the entry is still in the trash as it was put there.
    bool holds(const TrashEntry& entry) const;
    // Removes one entry for good; raises "Row cannot be located..." when it is gone.
    void deleteForever(std::int64_t id);
    // Removes every entry and gives the file's space back: the freed pages are handed
    // back to the file system (see compactFile). Nothing changes in `pictures`.
    void empty();

private:
    Connection& connection_;
};

// Drops the trash, the digests and the rotation's memory of a file made as a copy of
// another (a new file from the template): it starts with none of them. Part of the
// caller's transaction.
void dropKeptTables(SqlDatabase& db);

// Has every later delete on this connection overwrite the bytes it frees with zeros
// (SQLite's secure_delete), so that no deleted picture or name stays in the file.
void overwriteFreedSpace(sqlite3* db);

// Rebuilds the file in place (VACUUM), so that it holds no free page and no freed
// space inside a page. Not within a transaction, nor while a statement of the
// connection runs; raises Error with SQLite's text, the file then as before.
void vacuumFile(sqlite3* db);
// vacuumFile, the rows of `pictures` keeping their rowids (an index held on it meanwhile).
void vacuumKeepingRowids(sqlite3* db);

// Gives a file's free pages back to the file system without changing any rowid. The
// first time, the file is rebuilt once in place by VACUUM into incremental auto-vacuum
// (an index held on `pictures` meanwhile makes VACUUM keep its rowids); from then on
// PRAGMA incremental_vacuum frees the pages. Each step is a transaction of its own,
// so a crash leaves the file as before or as after that step.
void compactFile(sqlite3* db);

}  // namespace velmora
