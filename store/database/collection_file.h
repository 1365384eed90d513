#pragma once
// Writes picture data files: an SQLite database with the table
// `pictures` (`filename` TEXT, `picture` BLOB), as the template and sample files are.
// velmora.exe makes its first per-user collection with it (cli/user_collection_win32.h);
// the collection tool and the tests make theirs.

#include <string>
#include <utility>
#include <vector>

#include "base/bytes.h"

namespace velmora {

struct CollectionRecord {
    std::string name;
    Bytes picture;
};

// Creates path (failing if it exists) with the table and the given records, in one
// transaction. Raises velmora::Error on failure, and then leaves no file behind.
void createCollection(const std::string& path, const std::vector<CollectionRecord>& records = {});
// Appends records to an existing collection file in one transaction.
void appendRecords(const std::string& path, const std::vector<CollectionRecord>& records);
// Removes a collection file and its journal, if there; never raises.
void removeCollection(const std::string& path);

}  // namespace velmora
