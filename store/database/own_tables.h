#pragma once
// The tables the program keeps in a collection file beside `pictures` (the trash, the
// values kept with it, the digests, the rotation's memory): how each is made, and the
// contract a table of that name must keep before anything reads or writes it, since a
// file someone sent may hold one another program made.

#include <functional>
#include <string>
#include <vector>

#include "store/database/field_value.h"
#include "store/database/untrusted_file.h"

namespace velmora {

class SqlDatabase;

// How a column of such a table names a row of `pictures` by its key (a file's rowid, a
// server's velmora_key), which a copy into another collection does not keep.
enum class PictureKeyUse {
    None,
    Follows,  // the copy gives the picture's new key; a row of no copied picture is left out
    Cleared,  // the row it names is gone (a trashed picture's): the copy keeps null
};

struct OwnTable {
    std::string create;        // the statement that makes it in a file
    std::string serverCreate;  // the same on a server, with its types and identity keys
    TableContract contract;
    std::string pictureKey = {};  // the column naming a picture by its key, if any
    PictureKeyUse pictureKeyUse = PictureKeyUse::None;
};

// Every one of them, in a fixed order.
const std::vector<OwnTable>& ownTables();

// The entry of that name (a constant of the program).
const OwnTable& ownTable(const std::string& name);

// Whether the file has the table; when it has, raises Error unless the table keeps
// its contract.
bool hasCheckedTable(SqlDatabase& db, const std::string& name);

// Raises Error for the first of these tables the database has that breaks its contract.
void requireOwnTables(SqlDatabase& db);

// Makes the table when the file lacks it, or checks the one it has. Part of the
// caller's transaction.
void ensureOwnTable(SqlDatabase& db, const std::string& name);

// "INSERT INTO <table> (<the contract's columns>) VALUES (?1, ...)", the places written
// with `place` and their numbers ('?' for a file, '$' for a server).
std::string keptRowInsert(const OwnTable& table, char place);

// Every row of each of these tables the database has, in key order, in the columns the
// contract names, values typed as stored. Part of the caller's transaction (a copy's
// snapshot). Raises Error for a table that breaks its contract; a digest table that
// does is passed over, since digests are hints.
void eachKeptRow(SqlDatabase& db, const std::function<void(const OwnTable&, const std::vector<FieldValue>&)>& take);

}  // namespace velmora
