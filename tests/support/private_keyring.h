#pragma once
// A Secret Service of the test's own: gnome-keyring-daemon on a private session bus, its
// login keyring unlocked with a known password, in a temporary HOME and PATH. Made in two
// steps, so that a test can look at the keyring without a bus first.

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "tests/platform/private_path.h"
#include "tests/platform/xdg_sandbox.h"
#include "tests/support/child_process.h"
#include "tests/support/session_bus.h"

namespace velmora::test {

class PrivateKeyring {
public:
    // Whether this machine has the programs; the test skips when it has not.
    bool available() {
        return programs_.link("gnome-keyring-daemon") && programs_.link("dbus-send");
    }

    // Starts the bus and the daemon, and waits until the daemon owns its name: a call
    // before would have the bus start another, locked one.
    void start() {
        bus_ = std::make_unique<SessionBus>();
        int unlock[2];
        if (::pipe2(unlock, O_CLOEXEC) != 0 || ::write(unlock[1], "known", 5) != 5) return;
        ::close(unlock[1]);
        ChildOptions quiet;
        quiet.silent = true;
        quiet.passDescriptors = {{unlock[0], 0}};
        daemon_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"gnome-keyring-daemon", "--unlock", "--components=secrets", "--foreground"}, quiet);
        ::close(unlock[0]);
        ChildOptions answer;
        answer.standardOutput = sandbox_.dir().file("owner");
        for (int i = 0; i < 200 && readFile(answer.standardOutput).find("true") == std::string::npos; ++i) {
            ChildProcess({"dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
                          "org.freedesktop.DBus.NameHasOwner", "string:org.freedesktop.secrets"},
                         answer)
                .wait(std::chrono::seconds(5));
        }
    }

    const XdgSandbox& sandbox() const { return sandbox_; }

private:
    XdgSandbox sandbox_;
    ScopedEnvironment runtime_{"XDG_RUNTIME_DIR", sandbox_.dir().file("")};
    PrivatePath programs_{"dbus-daemon"};
    std::unique_ptr<SessionBus> bus_;
    std::unique_ptr<ChildProcess> daemon_;
};

}  // namespace velmora::test
#endif
