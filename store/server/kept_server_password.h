#pragma once
// Where a connection finds a password that libpq's own sources (the address,
// PGPASSWORD, ~/.pgpass or PGPASSFILE, the service file) lack, when no window is there to
// ask: the command line points it at the system keyring for its run. Unset, connections
// take libpq's sources and the password they are given only.

#include <functional>
#include <optional>
#include <string>

namespace velmora {

// The password kept for a server address written without its password; none when none is kept.
using KeptServerPassword = std::function<std::optional<std::string>(const std::string& shownAddress)>;

// Sets the source for the connections this process makes from now on until it is set
// again (an empty function: none).
void setKeptServerPassword(KeptServerPassword source);

// What the source gives for the address; none when there is no source.
std::optional<std::string> keptServerPassword(const std::string& shownAddress);

}  // namespace velmora
