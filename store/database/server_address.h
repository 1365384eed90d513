#pragma once
// Server collections are named by libpq's own connection strings: a URI
// (postgresql://[user[:password]@]host[:port]/dbname[?options], or postgres://) or a
// service of the service file (service=NAME, with more key=value pairs after it).
// Plain text work: no connection is made here.

#include <string>
#include <string_view>

namespace velmora {

// True when the text names a server collection rather than a collection file.
bool isServerAddress(std::string_view text);

// The address as titles, messages and remembered lists show it: a password given in
// it (the URI's user:password@, a password= option or key) is left out.
std::string addressWithoutPassword(const std::string& address);
// A collection's name as shown: a file path as it is, a server address without password.
std::string shownCollectionName(const std::string& fileOrAddress);

}  // namespace velmora
