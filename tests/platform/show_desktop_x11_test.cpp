// The "show desktop" request against a real X server (Xvfb), skipped where there is
// none. The window manager's support is announced by hand with xprop.

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/process_runner.h"
#include "platform/show_desktop_x11.h"
#include "tests/support/xvfb_server.h"

namespace velmora::platform {
namespace {

class XServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!programOnPath("Xvfb") || !programOnPath("xprop")) GTEST_SKIP() << "Xvfb or xprop missing";
        server_ = std::make_unique<test::XvfbServer>();
        const char* old = std::getenv("DISPLAY");
        oldDisplay_ = old ? old : "";
        ::setenv("DISPLAY", server_->display().c_str(), 1);
    }
    void TearDown() override {
        if (oldDisplay_.empty()) {
            ::unsetenv("DISPLAY");
        } else {
            ::setenv("DISPLAY", oldDisplay_.c_str(), 1);
        }
        server_.reset();
    }

    std::unique_ptr<test::XvfbServer> server_;
    std::string oldDisplay_;
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
