#pragma once
// The tables the program keeps in a collection file beside `pictures` (the trash, the
// values kept with it, the digests, the rotation's memory): how each is made, and the
// contract a table of that name must keep before anything reads or writes it, since a
// file someone sent may hold one another program made.

#include <string>
#include <vector>

#include "store/database/untrusted_file.h"

namespace velmora {

class SqlDatabase;

struct OwnTable {
    std::string create;        // the statement that makes it in a file
    std::string serverCreate;  // the same on a server, with its types and identity keys
    TableContract contract;
};

// Every one of them, in a fixed order.
const std::vector<OwnTable>& ownTables();

// The entry of that name (a constant of the program).
const OwnTable& ownTable(const std::string& name);

// Whether the file has the table; when it has, raises Error unless the table keeps
// its contract.
bool hasCheckedTable(SqlDatabase& db, const std::string& name);

// Makes the table when the file lacks it, or checks the one it has. Part of the
// caller's transaction.
void ensureOwnTable(SqlDatabase& db, const std::string& name);

}  // namespace velmora
