#include "browser/neighbour_preloader.h"

#include <algorithm>

#include "base/error.h"
#include "store/picture/decode_cancel.h"
#include "store/picture/jpeg_picture.h"

namespace velmora {

NeighbourPreloader::NeighbourPreloader(Decoder decoder) : decoder_(std::move(decoder)), worker_([this] { run(); }) {}

NeighbourPreloader::~NeighbourPreloader() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
        cancelRunning_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

bool NeighbourPreloader::wanted(const PreloadKey& key) const {
    return std::find(wanted_.begin(), wanted_.end(), key) != wanted_.end();
}

void NeighbourPreloader::keepOnly(const std::vector<PreloadKey>& wanted) {
    std::lock_guard lock(mutex_);
    wanted_ = wanted;
    std::erase_if(queue_, [this](const Job& job) { return !this->wanted(job.key); });
    dropped_ += static_cast<int>(
        std::erase_if(done_, [this](const auto& entry) { return !this->wanted(entry.first); }));
    if (running_ && !this->wanted(*running_)) cancelRunning_ = true;
    // Nearest first.
    std::stable_sort(queue_.begin(), queue_.end(), [&](const Job& a, const Job& b) {
        return std::find(wanted_.begin(), wanted_.end(), a.key) < std::find(wanted_.begin(), wanted_.end(), b.key);
    });
}

bool NeighbourPreloader::isDone(const PreloadKey& key) const {
    return std::any_of(done_.begin(), done_.end(), [&](const auto& entry) { return entry.first == key; });
}

bool NeighbourPreloader::has(const PreloadKey& key) {
    std::lock_guard lock(mutex_);
    return (running_ && *running_ == key) ||
           std::any_of(queue_.begin(), queue_.end(), [&](const Job& job) { return job.key == key; }) || isDone(key);
}

bool NeighbourPreloader::hasRowid(std::int64_t rowid) {
    std::lock_guard lock(mutex_);
    auto same = [rowid](const PreloadKey& key) { return key.rowid == rowid; };
    return (running_ && same(*running_)) ||
           std::any_of(queue_.begin(), queue_.end(), [&](const Job& job) { return same(job.key); }) ||
           std::any_of(done_.begin(), done_.end(), [&](const auto& entry) { return same(entry.first); });
}

void NeighbourPreloader::add(const PreloadKey& key, SharedBytes bytes, bool first) {
    {
        std::lock_guard lock(mutex_);
        if (!wanted(key)) wanted_.push_back(key);
        if (first) {
            queue_.push_front(Job{key, std::move(bytes)});
        } else {
            queue_.push_back(Job{key, std::move(bytes)});
        }
    }
    changed_.notify_all();
}

std::optional<PreloadedPicture> NeighbourPreloader::take(const PreloadKey& key, bool wait) {
    std::unique_lock lock(mutex_);
    if (wait) {
        // The picture being decoded now is ready sooner than a decode started afresh.
        changed_.wait(lock, [&] { return !running_ || !(*running_ == key); });
        // Shown now without it: the worker need not make it any more.
        std::erase_if(queue_, [&](const Job& job) { return job.key == key; });
    }
    auto found = std::find_if(done_.begin(), done_.end(), [&](const auto& entry) { return entry.first == key; });
    if (found == done_.end()) return std::nullopt;
    PreloadedPicture picture = std::move(found->second);
    done_.erase(found);
    return picture;
}

void NeighbourPreloader::moveToFront(const PreloadKey& key) {
    std::lock_guard lock(mutex_);
    auto found = std::find_if(queue_.begin(), queue_.end(), [&](const Job& job) { return job.key == key; });
    if (found == queue_.end() || found == queue_.begin()) return;
    Job job = std::move(*found);
    queue_.erase(found);
    queue_.push_front(std::move(job));
}

bool NeighbourPreloader::busy() {
    std::lock_guard lock(mutex_);
    return running_ || !queue_.empty();
}

bool NeighbourPreloader::ready(const PreloadKey& key) {
    std::lock_guard lock(mutex_);
    return isDone(key);
}

void NeighbourPreloader::setOnFinished(std::function<void()> onFinished) {
    std::lock_guard lock(mutex_);
    onFinished_ = std::move(onFinished);
}

void NeighbourPreloader::wakeAfter(std::chrono::milliseconds delay) {
    {
        std::lock_guard lock(mutex_);
        wake_ = std::chrono::steady_clock::now() + delay;
    }
    changed_.notify_all();
}

std::optional<double> NeighbourPreloader::msPerDecode() {
    std::lock_guard lock(mutex_);
    return msPerDecode_;
}

int NeighbourPreloader::readyCount() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(done_.size());
}

int NeighbourPreloader::droppedResults() {
    std::lock_guard lock(mutex_);
    return dropped_;
}

PreloadedPicture NeighbourPreloader::decodeForDisplay(const PreloadKey& key, const SharedBytes& bytes) {
    PreloadedPicture result;
    try {
        // A picture object of this thread alone, over bytes nobody changes.
        JpegPicture picture;
        picture.readStored(bytes);
        const FitRect rect = key.target.fit(picture.width(), picture.height());
        if (rect.width <= 0 || rect.height <= 0) return result;
        const int width = key.target.device(rect.width), height = key.target.device(rect.height);
        try {
            picture.displayBitmap(width, height);
        } catch (const Error& error) {
            result.error = error.what();
            picture.displayBitmap(width, height);  // what was decoded
        }
        result.display = picture.sharedDisplayBitmap();
    } catch (const std::exception&) {
        // Headers that do not parse: the refresh that reads them reports it. Or the
        // decode was given up: nobody wants its result.
    }
    return result;
}

void NeighbourPreloader::run() {
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(mutex_);
    for (;;) {
        auto work = [this] { return stopping_ || !queue_.empty(); };
        if (wake_) {
            changed_.wait_until(lock, *wake_, work);
        } else {
            changed_.wait(lock, [&] { return work() || wake_; });
        }
        if (stopping_) return;
        if (queue_.empty()) {
            if (!wake_ || Clock::now() < *wake_) continue;  // a wake-up asked for: wait for it
            wake_.reset();
        } else {
            Job job = std::move(queue_.front());
            queue_.pop_front();
            running_ = job.key;
            cancelRunning_ = false;
            lock.unlock();
            const Clock::time_point start = Clock::now();
            PreloadedPicture picture;
            {
                DecodeCancelScope scope(cancelRunning_);
                picture = decoder_(job.key, job.bytes);
            }
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            lock.lock();
            running_.reset();
            try {
                if (wanted(job.key) && !cancelRunning_) {
                    done_.emplace_back(job.key, std::move(picture));
                    msPerDecode_ = msPerDecode_ ? (*msPerDecode_ + ms) / 2 : ms;
                } else {
                    ++dropped_;
                }
            } catch (const std::exception&) {
                ++dropped_;  // no memory to keep it: the picture is decoded when it is shown
            }
            changed_.notify_all();
        }
        try {
            if (onFinished_) onFinished_();
        } catch (const std::exception&) {
            // Nothing may leave this thread; whoever waits for idle asks busy() again.
        }
    }
}

}  // namespace velmora
