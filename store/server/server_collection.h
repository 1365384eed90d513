#pragma once
// A collection in a PostgreSQL database: the table `pictures` with `filename` (text),
// `picture` (bytea) and the key column `velmora_key` (bigint, unique and not null; made
// as an identity column). The key names a row for good: another client's update,
// delete or VACUUM never makes it name a different row, as ctid would.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/database/collection_store.h"

namespace velmora {

inline constexpr const char* kServerKeyColumn = "velmora_key";
// Every client on the collection hears of each change on this channel.
inline constexpr const char* kServerChangeChannel = "velmora_pictures";

class ServerConnection;

// Raises Error, saying what is wrong, unless the database holds `pictures` as described
// above: a plain table, no triggers or rules, no generated column, the key column there.
void requireServerPictures(ServerConnection& connection);

// Opens the server collection at address. Raises Error with a plain message when the
// server cannot be used, or when `pictures` is missing or not as described above.
std::unique_ptr<CollectionStore> openServerCollection(const std::string& address,
                                                      std::optional<std::string> password = std::nullopt);

// A new `pictures` of these columns (and the key) in the database at address, made and
// filled in one transaction. Raises Error, changing nothing, when the database holds a
// `pictures` table already.
std::unique_ptr<NewCollection> startServerCollection(const std::string& address,
                                                      const std::vector<StoredColumn>& columns);

}  // namespace velmora
