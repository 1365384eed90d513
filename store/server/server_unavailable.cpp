// A build without libpq (velmora.exe when its deps hold none): a server address is refused plainly.
#include "base/error.h"
#include "store/database/server_address.h"
#include "store/database/server_database.h"
#include "store/server/server_collection.h"

namespace velmora {
namespace {

[[noreturn]] void unavailable(const std::string& address) {
    throw Error("Cannot open the server collection " + addressWithoutPassword(address) +
                ": this build of velmora.exe has no PostgreSQL client");
}

}  // namespace

std::unique_ptr<CollectionStore> openServerCollection(const std::string& address, std::optional<std::string>) {
    unavailable(address);
}

std::unique_ptr<SqlDatabase> openServerDatabase(const std::string& address, const std::optional<std::string>&) {
    unavailable(address);
}

std::unique_ptr<NewCollection> startServerCollection(const std::string& address, const std::vector<StoredColumn>&) {
    unavailable(address);
}

}  // namespace velmora
