// Kept server passwords in the real keyring: on Windows the Credential Manager, on
// Linux a Secret Service, gnome-keyring-daemon on a private session bus, its login
// keyring unlocked with a known password, in a temporary HOME.
#include <gtest/gtest.h>

#include "base/error.h"
#include "platform/keyring.h"
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include "tests/platform/private_path.h"
#include "tests/platform/xdg_sandbox.h"
#endif

namespace velmora::test {
namespace {

TEST(Keyring, KeepsReplacesAndForgetsEachAddressOnItsOwn) {
#ifndef _WIN32
    XdgSandbox sandbox;
    ScopedEnvironment runtime{"XDG_RUNTIME_DIR", sandbox.dir().file("")};
    PrivatePath programs{"dbus-daemon"};
    if (!programs.link("gnome-keyring-daemon") || !programs.link("dbus-send")) GTEST_SKIP() << "no gnome-keyring";
    {
        // Without a session bus (before the first connection to one) nothing is found, and keeping fails.
        ScopedEnvironment noBus{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/velmora-bus"};
        EXPECT_EQ(platform::systemKeyring()->password("service=family"), std::nullopt);
        EXPECT_THROW(platform::systemKeyring()->keep("service=family", "p4ss-word"), Error);
    }
    SessionBus bus;
    int unlock[2];
    ASSERT_EQ(::pipe2(unlock, O_CLOEXEC), 0);
    ASSERT_EQ(::write(unlock[1], "known", 5), 5);
    ::close(unlock[1]);
    ChildProcess daemon({"gnome-keyring-daemon", "--unlock", "--components=secrets", "--foreground"},
                        {.silent = true, .passDescriptors = {{unlock[0], 0}}});
    ::close(unlock[0]);
    // Until the daemon owns its name, a call would have the bus start another, locked one.
    const std::string owner = sandbox.dir().file("owner");
    for (int i = 0; i < 200 && readFile(owner).find("true") == std::string::npos; ++i) {
        ChildProcess({"dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
                      "org.freedesktop.DBus.NameHasOwner", "string:org.freedesktop.secrets"},
                     {.standardOutput = owner})
            .wait(std::chrono::seconds(5));
    }
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
