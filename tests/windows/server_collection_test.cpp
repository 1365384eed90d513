// velmora.exe's command line on a server collection under Wine, over TCP loopback with
// the static libpq: a file copied up, a picture added, names and bytes read back, the
// collection checked and backed up; sslmode=require refused, as this libpq has no TLS.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/command_line_win32.h"
#include "platform/windows_platform.h"
#include "store/database/collection_file.h"
#include "store/server/open_collection.h"
#include "tests/support/store_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_server.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

TEST(ServerCollectionOnWindows, CopyAddBrowseCheckAndBackUpOverTcp) {
    if (!VELMORA_WITH_LIBPQ) GTEST_SKIP() << "built without libpq (tools/windows-deps.sh adds it to the deps)";
    VELMORA_REQUIRE_SERVER(server);
    ServerDatabase database(*server);
    TempDir dir;
    const std::string address = database.address();
    const Bytes sky = tools::syntheticJpeg(64, 48, 1), sea = tools::syntheticJpeg(64, 48, 2);
    createCollection(dir.file("album.vlm"), {{"sky", sky}});
    writeFile(dir.file("sea.jpg"), std::string(sea.begin(), sea.end()));

    platform::WindowsPlatform system;
    std::ostringstream out, err;
    auto run = [&](const std::vector<std::string>& arguments) {
        return runWindowsCommandLine(parseWindowsCommandLine(arguments), system.platform(), out, err);
    };
    EXPECT_EQ(run({"--copy-collection", dir.file("album.vlm"), address}), 0) << err.str();
    EXPECT_EQ(run({"--add", address, dir.file("sea.jpg")}), 0) << err.str();

    std::unique_ptr<CollectionStore> store = openCollection(address);
    const std::vector<StoredName> names = store->names();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1].name, "sea");
    EXPECT_EQ(*store->picture(names[0].key), sky);

    EXPECT_EQ(run({"--check", address}), 0) << out.str();
    EXPECT_NE(out.str().find(": sound, 2 pictures"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find(server->adminPassword), std::string::npos);
    EXPECT_EQ(run({"--backup", address, dir.file("back.vlm")}), 0) << err.str();
    EXPECT_EQ(namesInFile(dir.file("back.vlm")), (std::vector<std::string>{"sky", "sea"}));

    EXPECT_NE(messageOf([&] { openCollection(address + "?sslmode=require"); }).find("SSL support is not compiled in"),
              std::string::npos);
}

}  // namespace
}  // namespace velmora::test
