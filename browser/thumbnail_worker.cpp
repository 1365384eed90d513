#include "browser/thumbnail_worker.h"

#include <algorithm>

#include "store/picture/jpeg_decoder.h"
#include "store/picture/jpeg_encoder.h"
#include "store/picture/jpeg_picture.h"
#include "store/thumbnails/collection_pictures.h"
#include "store/thumbnails/thumbnail_picture.h"

namespace velmora {

namespace {

// Kept thumbnails are small pictures looked at small: quality 85 keeps them sharp.
constexpr int kKeptQuality = 85;

}  // namespace

ThumbnailWorker::ThumbnailWorker(std::string collectionPath, std::shared_ptr<ThumbnailStore> store,
                                 std::function<void()> onReady, int threads)
    : path_(std::move(collectionPath)), store_(std::move(store)), onReady_(std::move(onReady)) {
    const int count = threads > 0 ? threads : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    for (int i = 0; i < count; ++i) threads_.emplace_back([this] { run(); });
}

ThumbnailWorker::~ThumbnailWorker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void ThumbnailWorker::want(std::vector<ThumbnailKey> keys) {
    {
        std::lock_guard lock(mutex_);
        queue_.assign(keys.begin(), keys.end());
    }
    changed_.notify_all();
}

std::vector<MadeThumbnail> ThumbnailWorker::take() {
    std::lock_guard lock(mutex_);
    return std::exchange(done_, {});
}

bool ThumbnailWorker::busy() {
    std::lock_guard lock(mutex_);
    return running_ > 0 || !queue_.empty();
}

void ThumbnailWorker::waitUntilIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return running_ == 0 && queue_.empty(); });
}

void ThumbnailWorker::run() {
    // Each thread reads through a connection of its own, opened at its first picture.
    std::unique_ptr<CollectionPictures> pictures;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        const ThumbnailKey key = queue_.front();
        queue_.pop_front();
        ++running_;
        lock.unlock();
        MadeThumbnail made = make(key, pictures);
        lock.lock();
        --running_;
        try {
            done_.push_back(std::move(made));
        } catch (const std::exception&) {
            // No memory to hand it over: the row asks again when it is shown.
        }
        changed_.notify_all();
        lock.unlock();
        try {
            if (onReady_) onReady_();
        } catch (const std::exception&) {
            // Nothing may leave this thread; the results wait for the next take().
        }
        lock.lock();
    }
}

MadeThumbnail ThumbnailWorker::make(const ThumbnailKey& key, std::unique_ptr<CollectionPictures>& pictures) {
    MadeThumbnail made;
    made.key = key;
    try {
        // Taken before the bytes are read: a write after it makes the stamp differ.
        const CollectionStamp stamp = store_ ? collectionStamp(path_) : CollectionStamp{};
        auto fromStore = [&](const Sha256Digest& content) {
            const std::optional<Bytes> kept = store_->thumbnail(content, key.edge);
            if (!kept) return false;
            try {
                decodeJpeg(*kept, JpegDefaults{}, made.picture);
                return true;
            } catch (const std::exception&) {
                made.picture = Bitmap();  // a damaged kept thumbnail is made again
                return false;
            }
        };
        if (store_) {
            const std::optional<Sha256Digest> content = store_->rowContent(stamp, key.rowid);
            if (content && fromStore(*content)) return made;
        }
        if (!pictures) pictures = std::make_unique<CollectionPictures>(path_);
        JpegPicture stored;
        stored.readStored(pictures->picture(key.rowid));
        const SharedBytes jpeg = stored.jpegData();
        if (!jpeg || jpeg->empty()) throw std::runtime_error("no picture");
        Sha256Digest content{};
        if (store_) {
            content = sha256(jpeg->data(), jpeg->size());
            store_->rememberRow(stamp, key.rowid, content);
            // The same picture under another row, or kept before a rename or restart.
            if (fromStore(content)) return made;
        }
        made.picture = makeThumbnail(*jpeg, key.edge).bitmap;
        if (store_) {
            JpegDefaults settings;
            settings.quality = kKeptQuality;
            store_->keep(content, key.edge, encodeJpeg(made.picture, settings));
        }
    } catch (const std::exception&) {
        // A picture that cannot be read or decoded gets the placeholder.
        made.picture = Bitmap();
        made.failed = true;
    }
    return made;
}

}  // namespace velmora
