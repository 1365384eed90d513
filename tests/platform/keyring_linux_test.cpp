// Kept server passwords in a real Secret Service: gnome-keyring-daemon on a private
// session bus, its login keyring unlocked with a known password, in a temporary HOME.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "base/error.h"
#include "platform/keyring.h"
#include "tests/platform/private_path.h"
#include "tests/platform/xdg_sandbox.h"
#include "tests/support/session_bus.h"

namespace velmora::platform {
namespace {

class SecretServiceKeyring : public ::testing::Test {
protected:
    void SetUp() override {
        if (!programs.link("gnome-keyring-daemon") || !programs.link("dbus-send") ||
            !test::programAvailable("dbus-daemon")) {
            GTEST_SKIP() << "gnome-keyring-daemon missing";
        }
        std::filesystem::create_directories(runtime, ignored);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all, ignored);
        bus = std::make_unique<test::SessionBus>();
        int password[2];
        ASSERT_EQ(::pipe2(password, O_CLOEXEC), 0);
        ASSERT_EQ(::write(password[1], "known", 5), 5);
        ::close(password[1]);
        test::ChildOptions options{.silent = true, .passDescriptors = {{password[0], 0}}};
        daemon = std::make_unique<test::ChildProcess>(
            std::vector<std::string>{"gnome-keyring-daemon", "--unlock", "--components=secrets", "--foreground"},
            options);
        ::close(password[0]);
        // Until the daemon owns the name, a call would have the bus start another, locked one.
        const std::string hasOwner = sandbox.dir().file("owner");
        for (int i = 0; i < 100 && test::readFile(hasOwner).find("true") == std::string::npos; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            test::ChildProcess({"dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                                "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                                "string:org.freedesktop.secrets"},
                               {.standardOutput = hasOwner})
                .wait(std::chrono::seconds(5));
        }
    }
    void TearDown() override {
        if (daemon) daemon->stop();
    }

    test::XdgSandbox sandbox;
    std::string runtime = sandbox.dir().file("runtime");
    std::error_code ignored;
    test::ScopedEnvironment runtimeDir{"XDG_RUNTIME_DIR", runtime};
    test::PrivatePath programs{"dbus-daemon"};
    std::unique_ptr<test::SessionBus> bus;
    std::unique_ptr<test::ChildProcess> daemon;
};

TEST_F(SecretServiceKeyring, KeepsReplacesAndForgetsEachAddressOnItsOwn) {
    const std::string first = "postgresql://anna@db.example/pictures";
    const std::string second = "service=family";
    std::unique_ptr<Keyring> keyring = systemKeyring();
    EXPECT_EQ(keyring->password(first), std::nullopt);
    keyring->keep(first, "old secret");
    keyring->keep(first, "n€w secret");
    keyring->keep(second, "other");
    EXPECT_EQ(keyring->password(first), "n€w secret");
    EXPECT_EQ(systemKeyring()->password(second), "other");
    keyring->forget(first);
    EXPECT_EQ(keyring->password(first), std::nullopt);
    EXPECT_EQ(keyring->password(second), "other");
}

TEST(NoSecretService, FindsNothingAndSaysWhyItKeepsNothing) {
    test::ScopedEnvironment noBus{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/velmora-bus"};
    std::unique_ptr<Keyring> keyring = systemKeyring();
    EXPECT_EQ(keyring->password("service=family"), std::nullopt);
    try {
        keyring->keep("service=family", "secret");
        FAIL() << "kept without a keyring";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()).find("secret"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("could not be kept in the keyring"), std::string::npos);
    }
    keyring->forget("service=family");
}

}  // namespace
}  // namespace velmora::platform
