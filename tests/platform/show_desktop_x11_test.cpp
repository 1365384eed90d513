// The "show desktop" request against a real X server (Xvfb), skipped where there is
// none. The window manager's support is announced by hand with xprop.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/process_runner.h"
#include "platform/show_desktop_x11.h"

extern char** environ;

namespace velmora::platform {
namespace {

class XServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!programOnPath("Xvfb") || !programOnPath("xprop")) GTEST_SKIP() << "Xvfb or xprop missing";
        display_ = ":" + std::to_string(200 + ::getpid() % 500);
        const char* argv[] = {"Xvfb", display_.c_str(), "-nolisten", "tcp", "-noreset", nullptr};
        if (posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            GTEST_SKIP() << "Xvfb did not start";
        const std::string socket = "/tmp/.X11-unix/X" + display_.substr(1);
        for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const char* old = std::getenv("DISPLAY");
        oldDisplay_ = old ? old : "";
        ::setenv("DISPLAY", display_.c_str(), 1);
    }
    void TearDown() override {
        if (oldDisplay_.empty()) {
            ::unsetenv("DISPLAY");
        } else {
            ::setenv("DISPLAY", oldDisplay_.c_str(), 1);
        }
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    std::string display_;
    std::string oldDisplay_;
    pid_t pid_ = 0;
};

TEST_F(XServer, RequestIsSentOnlyWhenTheWindowManagerOffersIt) {
    EXPECT_FALSE(requestShowDesktop());  // a bare server announces nothing
    ASSERT_TRUE(runProgram({"xprop", "-root", "-format", "_NET_SUPPORTED", "32a", "-set",
                            "_NET_SUPPORTED", "_NET_SHOWING_DESKTOP"},
                           std::chrono::seconds(5)));
    EXPECT_TRUE(requestShowDesktop());
    ::unsetenv("DISPLAY");
    EXPECT_FALSE(requestShowDesktop());
}

}  // namespace
}  // namespace velmora::platform
