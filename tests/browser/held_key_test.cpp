// A held key: the worker's decodes are held at a gate, so that the keys outrun it.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

#include "browser/travel_pace.h"
#include "store/picture/decode_cancel.h"
#include "tests/browser/browser_fixture.h"

namespace velmora::test {
namespace {

class HeldKey : public BrowserTest {
protected:
    // Rows of the decodes the worker started, in order.
    std::vector<int> started() {
        std::lock_guard lock(mutex_);
        return started_;
    }
    void openGate() {
        std::lock_guard lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }
    void gate(CollectionBrowser& b) {
        b.setNeighbourPreloading(false);
        b.setNeighbourPreloading(true, [this, &b](const PreloadKey& key, const SharedBytes& bytes) {
            std::unique_lock lock(mutex_);
            for (int row = 0; row < b.rowCount(); ++row) {
                if (b.queryForTesting().rowidAt(row) == key.rowid) started_.push_back(row);
            }
            opened_.wait(lock, [this] { return open_; });
            return NeighbourPreloader::decodeForDisplay(key, bytes);
        });
    }
    // Runs what the worker posts until done() holds, as the window's event loop does.
    bool settle(const std::function<bool()>& done) {
        for (int i = 0; i < 1000 && !done(); ++i) {
            view.runPosted();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    std::vector<int> started_;
    bool open_ = false;
};

TEST_F(HeldKey, APaintNeverWaitsForAPassedPictureAndTheWalkKeepsItsDirection) {
    CollectionBrowser& b = openNames({"a", "b", "c", "d", "e", "f", "g", "h"}, 64, 48);
    gate(b);
    b.run(CommandId::Next);
    b.pictureShown();  // the paint of b asks for its neighbours: c is decoding
    view.runPosted();
    for (int i = 0; i < 3; ++i) b.run(CommandId::Next);
    // At e, with the worker still on c: the paint neither waits nor decodes.
    const std::optional<PreloadedPicture> ahead = b.takeAheadPicture();
    ASSERT_TRUE(ahead && ahead->pending);
    openGate();
    // Then c is given up (or never started), and e comes to the view decoded ahead once
    // the keys have stopped; no passed record is decoded (where the worker aims
    // meanwhile depends on the pace: TravelPace below).
    ASSERT_TRUE(settle([&] { return view.picture && view.picture->hasDisplayBitmap(); }));
    EXPECT_EQ(view.name, "e");
    const std::vector<int> forwards = started();
    const auto shown = std::find(forwards.begin(), forwards.end(), 4);
    for (int passed : {1, 3}) EXPECT_EQ(std::count(forwards.begin(), shown, passed), 0);
    // Backwards, once the worker is done, the neighbours below come first.
    NeighbourPreloader& worker = *b.neighbourPreloaderForTesting();
    ASSERT_TRUE(settle([&] { return !worker.busy() && (view.runPosted(), !worker.busy()); }));
    const std::size_t before = started().size();
    b.run(CommandId::Previous);
    b.pictureShown();
    ASSERT_TRUE(settle([&] { return started().size() >= before + 2; }));
    const std::vector<int> backwards = started();
    EXPECT_EQ(std::vector<int>(backwards.begin() + before, backwards.begin() + before + 2), (std::vector<int>{2, 1}));
}

// Where decoding ahead goes: the neighbours at a walking pace; where the user will be,
// and the end the keys run into, while they outrun the decodes (60 ms each).
TEST(TravelPace, AimsWhereTheKeysWillBeAndFallsBackWhenTheyStop) {
    using namespace std::chrono_literals;
    const TravelPace::Clock::time_point t0;
    struct Walk {
        const char* name;
        int from, to, lastRow;
        std::chrono::milliseconds step, after;
        std::vector<int> ahead;
    };
    const Walk walks[] = {
        {"one move after a pause", 4, 5, 1000, 500ms, 0ms, {6, 7, 4}},
        {"held, far from the end", 0, 10, 1000, 8ms, 0ms, {22, 34}},  // 1.5 x 60 / 8: 12 on
        {"held, the end within two decodes", 0, 10, 23, 8ms, 0ms, {23, 22}},
        {"held backwards", 30, 20, 1000, 8ms, 0ms, {0, 8}},
        {"slower than the decodes", 0, 10, 1000, 100ms, 0ms, {11, 12, 9}},
        {"stopped", 0, 10, 1000, 8ms, 150ms, {11, 12, 9}},
    };
    for (const Walk& walk : walks) {
        SCOPED_TRACE(walk.name);
        TravelPace pace;
        const int d = walk.to > walk.from ? 1 : -1;
        for (int row = walk.from, i = 0; row != walk.to + d; row += d, ++i) pace.follow(row, t0 + i * walk.step);
        const auto now = t0 + std::abs(walk.to - walk.from) * walk.step + walk.after;
        EXPECT_EQ(pace.aheadOf(walk.to, walk.lastRow, 60, now), walk.ahead);
    }
}

// A decode nobody wants any more is given up half way; its result is dropped.
TEST(NeighbourPreloaderCancel, ADecodeDroppedFromTheWantedOnesStopsAtOnce) {
    std::atomic<int> started = 0;
    NeighbourPreloader preloader([&](const PreloadKey&, const SharedBytes&) {
        ++started;
        while (!cancelRaised(decodeCancelFlag())) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return PreloadedPicture{};
    });
    std::atomic<int> finished = 0;
    preloader.setOnFinished([&] { ++finished; });
    const PreloadKey key{7, {}, {}};
    preloader.add(key, shareBytes(Bytes{1}));
    while (started == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    preloader.keepOnly({});
    while (preloader.busy()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(preloader.droppedResults(), 1);
    EXPECT_FALSE(preloader.msPerDecode());  // a decode given up times nothing
    // An idle worker calls back once more when asked to.
    preloader.wakeAfter(std::chrono::milliseconds(5));
    while (finished < 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace
}  // namespace velmora::test
