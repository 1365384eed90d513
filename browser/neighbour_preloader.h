#pragma once
// Decodes the display bitmaps of the records around the current one on a worker
// thread, so that the next move finds its picture ready. The worker sees only bytes
// handed to it and plain values: it never touches a widget or the database
// connection. Results for records that are no longer wanted are dropped, and a decode
// that is no longer wanted is given up half way.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/bytes.h"
#include "browser/display_target.h"
#include "store/database/picture_query.h"
#include "store/picture/bitmap.h"

namespace velmora {

// Which stored value a preloaded bitmap is for, and for which display.
struct PreloadKey {
    std::int64_t rowid = 0;
    PictureQuery::DataVersion version;
    DisplayTarget target;
    bool operator==(const PreloadKey&) const = default;
};

struct PreloadedPicture {
    // For the fitted rectangle in device pixels; never changed once made, so the picture
    // shown, the area drawing it and the coordinator share it instead of copying it.
    std::shared_ptr<const Bitmap> display;
    std::optional<std::string> error;  // a decoder error, to be reported when shown
    // Still being made ahead while the user moves on faster than pictures decode: the
    // area keeps what it shows and is given the picture when it comes.
    bool pending = false;
    // Something to show: pixels, or the error of a picture that gave none.
    bool made() const { return (display && !display->empty()) || error; }
};

class NeighbourPreloader {
public:
    // Makes the display bitmap of a stored value for key's display, on the worker.
    using Decoder = std::function<PreloadedPicture(const PreloadKey& key, const SharedBytes& bytes)>;
    static PreloadedPicture decodeForDisplay(const PreloadKey& key, const SharedBytes& bytes);

    explicit NeighbourPreloader(Decoder decoder = decodeForDisplay);
    // Stops the worker after the picture it is decoding.
    ~NeighbourPreloader();
    NeighbourPreloader(const NeighbourPreloader&) = delete;
    NeighbourPreloader& operator=(const NeighbourPreloader&) = delete;

    // The records wanted now, nearest first: everything else, queued or done, is
    // dropped, and a decode running for another record is given up.
    void keepOnly(const std::vector<PreloadKey>& wanted);
    // True when key is queued, being decoded or done.
    bool has(const PreloadKey& key);
    // True when a picture of this rowid, for any version or display, is queued,
    // being decoded or done.
    bool hasRowid(std::int64_t rowid);
    // Queues the stored value of key for decoding; first: ahead of everything queued
    // (the record being shown, before its neighbours).
    void add(const PreloadKey& key, SharedBytes bytes, bool first = false);
    // The result for key, taken out. wait: waits when the worker is decoding it right
    // now, and drops it from the queue when it is not ready (it is shown without it);
    // otherwise only a finished result is taken and the rest stays as it is.
    std::optional<PreloadedPicture> take(const PreloadKey& key, bool wait = true);
    // Makes a queued key the next one decoded.
    void moveToFront(const PreloadKey& key);
    // Drops everything.
    void clear() { keepOnly({}); }
    // True while a picture is queued or being decoded.
    bool busy();
    // True when the result for key is done and waits to be taken.
    bool ready(const PreloadKey& key);
    // Called on the worker thread whenever it has finished a picture, and when a
    // wake-up asked for comes: the owner may hand it the next one (post to its own
    // thread first).
    void setOnFinished(std::function<void()> onFinished);
    // Calls the finished callback once more after delay, once the worker is idle.
    void wakeAfter(std::chrono::milliseconds delay);
    // How long a picture took to decode lately; nullopt before the first.
    std::optional<double> msPerDecode();
    // Results ready to be taken, and results dropped as stale so far; for tests.
    int readyCount();
    int droppedResults();

private:
    struct Job {
        PreloadKey key;
        SharedBytes bytes;
    };
    void run();
    bool wanted(const PreloadKey& key) const;
    bool isDone(const PreloadKey& key) const;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    std::optional<PreloadKey> running_;
    // Raised to give up the decode running now.
    std::atomic<bool> cancelRunning_ = false;
    std::optional<std::chrono::steady_clock::time_point> wake_;
    std::optional<double> msPerDecode_;
    std::vector<std::pair<PreloadKey, PreloadedPicture>> done_;
    std::vector<PreloadKey> wanted_;
    int dropped_ = 0;
    bool stopping_ = false;
    std::function<void()> onFinished_;
    Decoder decoder_;
    std::thread worker_;
};

}  // namespace velmora
