// A collection file on a network share is told by its file system's type; a local one
// never draws the warning.
#include <gtest/gtest.h>

#include "store/database/network_share.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {
namespace {

TEST(NetworkShare, TellsNetworkFileSystemsFromLocalOnes) {
    const struct {
        long long type;
        std::optional<std::string> name;
    } cases[] = {
        {0x6969, "NFS"}, {0xFF534D42, "SMB/CIFS"}, {0xFE534D42, "SMB/CIFS"}, {0x517B, "SMB/CIFS"}, {0x00C36400, "Ceph"},
        {0xEF53, std::nullopt} /* ext4 */, {0x01021994, std::nullopt} /* tmpfs */, {0x9123683E, std::nullopt} /* btrfs */,
    };
    for (const auto& c : cases) EXPECT_EQ(networkFileSystemName(c.type), c.name) << std::hex << c.type;
    TempDir dir;
    writeFile(dir.file("local.vlm"), "");
    EXPECT_EQ(networkShareOf(dir.file("local.vlm")), std::nullopt);
    EXPECT_EQ(networkShareOf(dir.file("missing.vlm")), std::nullopt);
}

}  // namespace
}  // namespace velmora::test
