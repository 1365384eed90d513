// The X clipboard read from owners that lie, stall or never stop, on a private X
// server: each read ends within its cap and time limit, or on a cancel, and an honest
// transfer in increments arrives whole.

#include <chrono>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/clipboard_x11.h"
#include "tests/support/child_process.h"
#include "tests/support/clipboard_owner_x11.h"
#include "tests/support/xvfb_server.h"

namespace velmora::platform {
namespace {

using namespace std::chrono_literals;

TEST(X11ClipboardRead, EndsWithinItsCapAndTimeOrOnACancel) {
    if (!test::programAvailable("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    test::XvfbServer server;
    constexpr std::uint64_t kCap = 4u << 20;
    const std::tuple<const char*, std::chrono::milliseconds, SelectionOutcome> cases[] = {
        {"honest", 5s, SelectionOutcome::Received}, {"huge", 5s, SelectionOutcome::TooLarge},
        {"endless", 5s, SelectionOutcome::TooLarge}, {"stall", 300ms, SelectionOutcome::TimedOut},
        {"stall", 60s, SelectionOutcome::Cancelled}};
    for (const auto& [mode, stall, expected] : cases) {
        const auto owner = test::startClipboardOwner(mode, server.display());
        X11Clipboard clipboard(server.display());
        SelectionProgress progress;
        EXPECT_EQ(clipboard.offeredTypes(progress), (std::vector<std::string>{"TARGETS", "image/png"})) << mode;
        std::thread canceller([&, expected = expected] {
            if (expected == SelectionOutcome::Cancelled) std::this_thread::sleep_for(300ms), progress.cancel();
        });
        std::uint64_t received = 0;
        bool intact = true;
        const auto started = std::chrono::steady_clock::now();
        const SelectionOutcome outcome =
            clipboard.read("image/png", {kCap, stall}, progress, [&](const std::uint8_t* data, std::size_t size) {
                for (std::size_t i = 0; i < size; ++i) intact = intact && data[i] == (received + i) % 251;
                received += size;
            });
        canceller.join();
        EXPECT_LT(std::chrono::steady_clock::now() - started, 3s) << mode;
        EXPECT_EQ(outcome, expected) << mode;
        EXPECT_EQ(received, outcome == SelectionOutcome::Received ? 300000u : progress.received()) << mode;
        EXPECT_TRUE(intact && received <= kCap) << mode;
    }
}

}  // namespace
}  // namespace velmora::platform
