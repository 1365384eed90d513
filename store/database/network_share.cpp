#include "store/database/network_share.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace velmora {

std::optional<std::string> networkFileSystemName(long long type) {
    static const struct {
        long long type;
        const char* name;
    } kinds[] = {
        {0x6969, "NFS"},          {0x517B, "SMB/CIFS"},  {0xFF534D42, "SMB/CIFS"}, {0xFE534D42, "SMB/CIFS"},
        {0x73757245, "Coda"},     {0x5346414F, "AFS"},   {0x6B414653, "AFS"},      {0x00C36400, "Ceph"},
        {0x01021997, "9P"},       {0x0BD00BD0, "Lustre"},
    };
    for (const auto& kind : kinds) {
        if (kind.type == type) return kind.name;
    }
    return std::nullopt;
}

void warnWhenOnNetworkShare(const std::string& path) {
    static std::mutex guard;
    static std::set<std::string> warned;
    std::optional<std::string> share = networkShareOf(path);
    if (!share) return;
    std::lock_guard lock(guard);
    if (!warned.insert(path).second) return;
    std::fprintf(stderr,
                 "velmora: %s is on a network share (%s), where the file's locking is not safe: two programs writing "
                 "to it at once can damage it. A collection shared by several computers belongs on a server "
                 "(see \"A collection on several computers\" in the README).\n",
                 path.c_str(), share->c_str());
}

}  // namespace velmora
