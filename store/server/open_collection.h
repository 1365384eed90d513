#pragma once
// Where a collection is named, a file path and a server address are both accepted.

#include <memory>
#include <string>
#include <vector>

#include "store/database/collection_store.h"

namespace velmora {

// The collection file at path, or the server collection at a server address.
std::unique_ptr<CollectionStore> openCollection(const std::string& fileOrAddress);
// A new collection file, or a new `pictures` table on a server, of these columns.
std::unique_ptr<NewCollection> startCollection(const std::string& fileOrAddress,
                                                const std::vector<StoredColumn>& columns);

}  // namespace velmora
