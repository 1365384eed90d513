#pragma once
// The real desktop layer of this machine inside a temporary HOME with a private
// session bus, for checking each backend against the desktop's own settings store.
// The desktop family is chosen by the XDG_CURRENT_DESKTOP the test gives.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/linux_platform.h"
#include "platform/process_runner.h"
#include "tests/platform/private_path.h"
#include "tests/platform/xdg_sandbox.h"
#include "tests/support/session_bus.h"

namespace velmora::test {

class SessionDesktop : public ::testing::Test {
protected:
    static constexpr auto kLimit = std::chrono::seconds(10);

    // Hands "C:\<name>" to the desktop under that XDG_CURRENT_DESKTOP; returns the
    // file's path on this machine.
    std::string setWallpaper(const std::string& currentDesktop, const std::string& name) {
        ScopedEnvironment desktop("XDG_CURRENT_DESKTOP", currentDesktop);
        platform.desktop().setWallpaper("C:\\" + name);
        return sandbox.driveC() + "/" + name;
    }

    // A program's output without its line end; "<failed>" when it failed.
    static std::string output(const std::vector<std::string>& argv) {
        std::optional<std::string> text = platform::captureProgram(argv, kLimit);
        if (!text) return "<failed>";
        while (!text->empty() && (text->back() == '\n' || text->back() == '\r')) text->pop_back();
        return *text;
    }

    platform::DesktopServices reportingServices() {
        platform::DesktopServices services = platform::DesktopServices::system(kLimit);
        services.report = [this](const std::string& line) { reports.push_back(line); };
        return services;
    }

    XdgSandbox sandbox;
    // None of the caller's session may leak in.
    ScopedEnvironment noSessionDesktop{"XDG_SESSION_DESKTOP", std::nullopt};
    ScopedEnvironment noDesktopSession{"DESKTOP_SESSION", std::nullopt};
    ScopedEnvironment noDisplay{"DISPLAY", std::nullopt};
    ScopedEnvironment noWayland{"WAYLAND_DISPLAY", std::nullopt};
    // Only the helper programs a test links here are found, installed or not elsewhere.
    PrivatePath programs{"dbus-daemon"};
    SessionBus bus;
    std::vector<std::string> reports;
    platform::LinuxPlatform platform{reportingServices()};
};

}  // namespace velmora::test
