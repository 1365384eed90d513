// The command line on a server collection whose password only the keyring holds (a
// Secret Service on a private session bus): --check and the wallpaper options log in with
// it, never asking and never printing it, and the rotation moves in the server database.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "cli/maintenance_cli.h"
#include "cli/wallpaper_run.h"
#include "platform/keyring.h"
#include "platform/linux_platform.h"
#include "platform/registry_linux.h"
#include "store/server/open_collection.h"
#include "tests/support/fake_wallpaper_settings.h"
#include "tests/support/private_keyring.h"
#include "tests/support/test_server.h"
#include "tools/synthetic_picture.h"
#include "wallpaper/wallpaper_rotation.h"

namespace velmora::test {
namespace {

TEST(CommandLineOnServer, TakesThePasswordFromTheKeyringAndRotatesInTheServerDatabase) {
    VELMORA_REQUIRE_SERVER(server);
    PrivateKeyring keyring;
    if (!keyring.available()) GTEST_SKIP() << "no gnome-keyring";
    keyring.start();
    ServerDatabase database(*server);
    {
        std::unique_ptr<NewCollection> made =
            startCollection(database.address(), {{"filename", ColumnKind::Text}, {"picture", ColumnKind::Bytes}});
        for (int i = 0; i < 3; ++i) {
            made->insert({FieldValue{std::string(1, static_cast<char>('a' + i))}, FieldValue{shareBytes(tools::syntheticJpeg(16, 16, i))}});
        }
        made->finish();
    }
    const std::string role = "walls_" + database.name(), address = database.addressFor(role);
    database.run("CREATE ROLE " + role + " LOGIN PASSWORD 'kept-one'; ALTER TABLE pictures OWNER TO " + role +
                 "; GRANT CREATE ON SCHEMA public TO " + role);

    std::ostringstream report, errors;
    EXPECT_EQ(runMaintenance(parseMaintenanceOptions({"--check", address}), report, errors), 1);
    EXPECT_NE(report.str().find("the server asks for a password"), std::string::npos) << report.str();
    platform::systemKeyring()->keep(address, "kept-one");
    EXPECT_EQ(runMaintenance(parseMaintenanceOptions({"--check", address}), report, errors), 0) << report.str();
    EXPECT_EQ(report.str().find("kept-one"), std::string::npos);

    platform::DesktopServices noDesktop;
    noDesktop.environment = [](const char*) { return std::string(); };
    noDesktop.programOnPath = [](const std::string&) { return false; };
    platform::LinuxPlatform system(noDesktop);
    MemoryWallpaperSettings settings;
    auto wallpaper = [&](const std::vector<std::string>& arguments) {
        WallpaperRunServices services{system.platform(), settings.store, settings.timer, [] { return true; },
                                      [](const std::string& path) { return path; }};
        std::ostringstream err;
        EXPECT_EQ(runWallpaperOptions(parseWallpaperOptions(arguments), services, err), 0) << err.str();
        platform::LinuxRegistry registry(keyring.sandbox().hiveFile());
        return rememberedWallpaperName(registry);
    };
    // Shuffled, each run shows a picture the round has not shown: the round lives on the server.
    std::set<std::string> shown{wallpaper({"--order", "shuffle", "--next-wallpaper", address})};
    const std::string second = wallpaper({"--next-wallpaper", address});
    shown.insert(second);
    shown.insert(wallpaper({"--next-wallpaper", address}));
    EXPECT_EQ(shown, (std::set<std::string>{"a", "b", "c"}));
    EXPECT_EQ(database.run("SELECT count(*) FROM velmora_rotation_history"), "3");
    EXPECT_EQ(wallpaper({"--previous-wallpaper", address}), second);
    EXPECT_EQ(settings.timer.calls, std::vector<std::string>{});
}

}  // namespace
}  // namespace velmora::test
