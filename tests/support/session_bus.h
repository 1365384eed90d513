#pragma once
// A private D-Bus session bus for one test: dbus-daemon with the standard session
// configuration (so dconf-service and xfconfd are started on demand), its address in
// DBUS_SESSION_BUS_ADDRESS while the object lives. Start it after the test's HOME and
// XDG folders are set: the services it starts inherit them.

#include <memory>
#include <optional>
#include <string>

#include "tests/support/child_process.h"

namespace velmora::test {

class SessionBus {
public:
    // Throws std::runtime_error when the bus does not come up within 10 seconds.
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    const std::string& address() const { return address_; }

private:
    std::unique_ptr<ChildProcess> daemon_;
    std::string address_;
    std::optional<std::string> previous_;
};

// Sets an environment variable for the life of the object, then puts it back.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

}  // namespace velmora::test
