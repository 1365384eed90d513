// Kept server passwords in the real keyring: on Windows the Credential Manager, on
// Linux a Secret Service, gnome-keyring-daemon on a private session bus, its login
// keyring unlocked with a known password, in a temporary HOME.
#include <gtest/gtest.h>

#include "base/error.h"
#include "platform/keyring.h"
#ifndef _WIN32
#include "tests/support/private_keyring.h"
#endif

namespace velmora::test {
namespace {

TEST(Keyring, KeepsReplacesAndForgetsEachAddressOnItsOwn) {
#ifndef _WIN32
    PrivateKeyring privateKeyring;
    if (!privateKeyring.available()) GTEST_SKIP() << "no gnome-keyring";
    {
        // Without a session bus (before the first connection to one) nothing is found, and keeping fails.
        ScopedEnvironment noBus{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/velmora-bus"};
        EXPECT_EQ(platform::systemKeyring()->password("service=family"), std::nullopt);
        EXPECT_THROW(platform::systemKeyring()->keep("service=family", "p4ss-word"), Error);
    }
    privateKeyring.start();
#endif
    const std::string first = "postgresql://anna@db.example/pictures", second = "service=family";
    std::unique_ptr<platform::Keyring> keyring = platform::systemKeyring();
    EXPECT_EQ(keyring->password(first), std::nullopt);
    keyring->keep(first, "old secret");
    keyring->keep(first, "n€w secret");
    keyring->keep(second, "other");
    EXPECT_EQ(platform::systemKeyring()->password(first), "n€w secret");
    EXPECT_EQ(keyring->passwordWithoutAsking(first), "n€w secret");
    keyring->forget(first);
    EXPECT_EQ(keyring->password(first), std::nullopt);
    EXPECT_EQ(keyring->password(second), "other");
    keyring->forget(second);
}

}  // namespace
}  // namespace velmora::test
