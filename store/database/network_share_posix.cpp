#include <sys/vfs.h>

#include "store/database/network_share.h"

namespace velmora {

std::optional<std::string> networkShareOf(const std::string& path) {
    struct statfs info {};
    if (statfs(path.c_str(), &info) != 0) return std::nullopt;
    return networkFileSystemName(static_cast<long long>(info.f_type));
}

}  // namespace velmora
