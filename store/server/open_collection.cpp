#include "store/server/open_collection.h"

#include "store/database/server_address.h"
#include "store/server/server_collection.h"

namespace velmora {

std::unique_ptr<CollectionStore> openCollection(const std::string& fileOrAddress) {
    if (isServerAddress(fileOrAddress)) return openServerCollection(fileOrAddress);
    return openCollectionFile(fileOrAddress);
}

std::unique_ptr<NewCollection> startCollection(const std::string& fileOrAddress,
                                                const std::vector<StoredColumn>& columns) {
    if (isServerAddress(fileOrAddress)) return startServerCollection(fileOrAddress, columns);
    return startCollectionFile(fileOrAddress, columns);
}

}  // namespace velmora
