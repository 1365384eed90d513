#pragma once
// A collection file on a network share: SQLite's locking cannot be trusted there (the
// share's own locks may be missing or lost), so two writers can damage the file. The
// file is opened all the same; standard error says so once.

#include <optional>
#include <string>

namespace velmora {

// The kind of network file system holding path ("NFS", "SMB/CIFS", ...), or nullopt
// for a local one or one that cannot be told (one file per system).
std::optional<std::string> networkShareOf(const std::string& path);

// The name of a network file system by the type statfs() reports, or nullopt.
std::optional<std::string> networkFileSystemName(long long type);

// Writes the warning line for path to standard error, once per path in this process.
void warnWhenOnNetworkShare(const std::string& path);

}  // namespace velmora
