// A held key: the worker's decodes are held at a gate, so that the keys outrun it.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <thread>

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
    // Then the worker goes where the keys are going (the last record), and e comes
    // to the view decoded ahead; no passed record is decoded.
    ASSERT_TRUE(settle([&] { return view.picture && view.picture->hasDisplayBitmap(); }));
    EXPECT_EQ(view.name, "e");
    const std::vector<int> forwards = started();
    EXPECT_EQ(std::vector<int>(forwards.begin(), forwards.begin() + 2), (std::vector<int>{2, 7}));
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

}  // namespace
}  // namespace velmora::test
