#pragma once
// Opening the database of a server collection, for the connection; made by the server
// code (store/server), which links libpq.

#include <memory>
#include <optional>
#include <string>

#include "store/database/sql_database.h"

namespace velmora {

// The database at a server address, its `pictures` table checked. The password, when
// given, is used where libpq's own sources hold none. Raises Error with a plain message
// when the server or its table cannot be used.
std::unique_ptr<SqlDatabase> openServerDatabase(const std::string& address,
                                                const std::optional<std::string>& password = std::nullopt);

}  // namespace velmora
