// Where a server collection's password comes from, what the password dialog does with
// each one typed, and the addresses the address dialog offers.
#include <gtest/gtest.h>

#include "browser/server_addresses.h"
#include "browser/server_login.h"
#include "platform/keyring.h"
#include "store/server/server_connection.h"
#include "tests/support/fake_wallpaper_settings.h"
#include "tests/support/memory_keyring.h"
#include "wallpaper/wallpaper_settings_change.h"

namespace velmora::test {
namespace {

TEST(ServerLogin, LibpqThenTheKeyringThenTheUserUntilOneWorksKeepingOnlyWhatTheUserAsks) {
    using Typed = std::vector<std::pair<std::string, bool>>;  // password, keep box
    using Took = std::optional<std::optional<std::string>>;   // none: cancelled
    const struct {
        std::optional<std::string> needed, kept;  // needed: none when libpq's sources have it
        Typed typed;
        Took took;
        std::optional<std::string> keptAfter;
    } cases[] = {
        {std::nullopt, "old", {}, Took(std::optional<std::string>()), "old"},
        {"right", "right", {}, "right", "right"},
        {"right", "old", {{"wrong", true}, {"right", true}}, "right", "right"},
        {"right", std::nullopt, {{"right", false}}, "right", std::nullopt},
        {"right", std::nullopt, {{"wrong", true}}, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        MemoryKeyring keyring;
        keyring.kept = c.kept;
        std::vector<std::string> problems;
        const ServerLogin login{"service=family", &keyring,
                                [&](const std::optional<std::string>& password) {
                                    if (c.needed && password != c.needed)
                                        throw ServerPasswordError(password ? "wrong password" : "asks");
                                },
                                [&](PasswordForm& form) {
                                    for (const auto& [password, keep] : c.typed) {
                                        problems.push_back(form.problem());
                                        if (form.submit(password, keep)) return;
                                    }
                                },
                                [](const std::string& message) { FAIL() << message; }};
        const std::optional<LoggedIn> result = logIn(login);
        ASSERT_EQ(result.has_value(), c.took.has_value()) << c.typed.size();
        EXPECT_EQ(result ? std::make_optional(result->password) : std::nullopt, c.took);
        EXPECT_EQ(problems.size(), c.typed.size());
        for (const std::string& problem : problems) EXPECT_EQ(problem, c.kept ? "wrong password" : "asks");
        EXPECT_EQ(keyring.kept, c.keptAfter);
    }
}

TEST(ServerLogin, TheAddressesOfferedAndTheTimersAreKeptWithoutPasswords) {
    MemorySettings settings;
    settings.values["language"] = "en";
    for (int i = 1; i <= 10; ++i) rememberServerAddress(settings, "service=s" + std::to_string(i));
    rememberServerAddress(settings, "postgresql://ann:s3cret@db/photos");
    rememberServerAddress(settings, "service=s9 password=x");
    EXPECT_EQ(recentServerAddresses(settings),
              (std::vector<std::string>{"service=s9", "postgresql://ann@db/photos", "service=s10", "service=s8",
                                        "service=s7", "service=s6", "service=s5", "service=s4"}));
    EXPECT_EQ(settings.values["language"], "en");

    RecordingTimer timer;
    WallpaperSettingsServices services{settings, timer, [](const std::string& path) { return "/abs/" + path; }};
    WallpaperSettings rotating;
    rotating.rotateMinutes = 30;
    changeWallpaperSettings(services, {}, rotating, {TimerStep::Schedule}, "postgres://a:pw@db/p");
    EXPECT_EQ(timer.calls, std::vector<std::string>{"schedule 30 postgres://a@db/p"});
}

}  // namespace
}  // namespace velmora::test
