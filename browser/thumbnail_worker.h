#pragma once
// Makes the thumbnail grid's pictures in the background, one picture per core at a time,
// in the order asked for: what is on screen first, then the next screen. Asking again
// replaces the queue, so work for rows scrolled away is dropped before it starts.
// The threads read the collection through read-only connections of their own and never
// touch the window or the window's connection; results wait until the owner takes them.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "store/picture/bitmap.h"
#include "store/thumbnails/thumbnail_store.h"

namespace velmora {

class CollectionPictures;

struct ThumbnailKey {
    std::int64_t rowid = 0;
    int edge = 0;  // device pixels
    bool operator==(const ThumbnailKey&) const = default;
};

struct MadeThumbnail {
    ThumbnailKey key;
    Bitmap picture;       // empty when the picture cannot be decoded
    bool failed = false;
};

class ThumbnailWorker {
public:
    // collectionPath: the picture data file; store: where thumbnails are kept (may be
    // null); onReady: called on a worker thread whenever results are waiting.
    ThumbnailWorker(std::string collectionPath, std::shared_ptr<ThumbnailStore> store, std::function<void()> onReady,
                    int threads = 0);
    // Stops after the pictures being made now.
    ~ThumbnailWorker();
    ThumbnailWorker(const ThumbnailWorker&) = delete;
    ThumbnailWorker& operator=(const ThumbnailWorker&) = delete;

    // The pictures wanted now, in order; queued ones not listed are dropped.
    void want(std::vector<ThumbnailKey> keys);
    // The results made since the last call.
    std::vector<MadeThumbnail> take();
    // True while something is queued or being made.
    bool busy();
    // Waits until nothing is queued or being made; for tests and benchmarks.
    void waitUntilIdle();

private:
    void run();
    MadeThumbnail make(const ThumbnailKey& key, std::unique_ptr<CollectionPictures>& pictures);

    const std::string path_;
    const std::shared_ptr<ThumbnailStore> store_;
    const std::function<void()> onReady_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<ThumbnailKey> queue_;
    std::vector<MadeThumbnail> done_;
    int running_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace velmora
