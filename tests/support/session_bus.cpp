#include "tests/support/session_bus.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace velmora::test {
namespace {

constexpr int kAddressFdInChild = 62;

std::optional<std::string> currentValue(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void restore(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
    } else {
        ::unsetenv(name.c_str());
    }
}

// dbus-daemon writes "<address>\n" once it accepts connections.
std::string readLine(int fd, int limitMs) {
    std::string text;
    while (text.empty() || text.back() != '\n') {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, limitMs) <= 0) throw std::runtime_error("dbus-daemon did not report its address");
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) throw std::runtime_error("dbus-daemon ended before reporting its address");
        text.append(buffer, static_cast<std::size_t>(n));
    }
    text.pop_back();
    return text;
}

}  // namespace

SessionBus::SessionBus() : previous_(currentValue("DBUS_SESSION_BUS_ADDRESS")) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    ChildOptions options;
    options.silent = true;
    options.passDescriptors = {{ends[1], kAddressFdInChild}};
    try {
        daemon_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--nopidfile",
                                     "--print-address=" + std::to_string(kAddressFdInChild)},
            options);
    } catch (...) {
        ::close(ends[0]);
        ::close(ends[1]);
        throw;
    }
    ::close(ends[1]);
    try {
        address_ = readLine(ends[0], 10000);
    } catch (...) {
        ::close(ends[0]);
        throw;
    }
    ::close(ends[0]);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
}

SessionBus::~SessionBus() {
    restore("DBUS_SESSION_BUS_ADDRESS", previous_);
    daemon_->stop();
}

ScopedEnvironment::ScopedEnvironment(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)), previous_(currentValue(name_)) {
    restore(name_, value);
}

ScopedEnvironment::~ScopedEnvironment() { restore(name_, previous_); }

}  // namespace velmora::test
