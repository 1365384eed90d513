#include "browser/preload_coordinator.h"

#include <algorithm>

namespace velmora {

namespace {

// Until the worker has timed a picture of this collection.
constexpr double kFirstDecodeMs = 80;

}  // namespace

void PreloadCoordinator::setEnabled(bool on, NeighbourPreloader::Decoder decoder) {
    if (!on) {
        preloader_.reset();
        lastTaken_.reset();
        pendingRow_.reset();
        handedOver_.clear();
    } else if (!preloader_) {
        preloader_ = std::make_unique<NeighbourPreloader>(std::move(decoder));
        // The next neighbour's bytes are read when the worker is free, not all at once:
        // at most one stored value waits in memory.
        preloader_->setOnFinished([this] { view_.post([this] { pictureFinished(); }); });
    }
}

bool PreloadCoordinator::active() const {
    return preloader_ && query_.state() == DatasetState::Browse && view_.displayTarget().flags.proportional;
}

double PreloadCoordinator::msPerDecode() {
    return preloader_ ? preloader_->msPerDecode().value_or(kFirstDecodeMs) : kFirstDecodeMs;
}

bool PreloadCoordinator::outrun() {
    return pace_.outruns(msPerDecode(), TravelPace::Clock::now());
}

void PreloadCoordinator::follow(int row) {
    if (pace_.follow(row, TravelPace::Clock::now()) && preloader_ && outrun()) schedule();
}

std::optional<PreloadKey> PreloadCoordinator::keyAt(int row) {
    const std::optional<std::int64_t> rowid = query_.rowidAt(row);
    if (!rowid) return std::nullopt;
    return PreloadKey{*rowid, query_.dataVersion(), view_.displayTarget()};
}

std::optional<PreloadedPicture> PreloadCoordinator::pending(int row) {
    pendingRow_ = row;
    // An idle worker looks again once the keys may have stopped.
    if (!preloader_->busy()) preloader_->wakeAfter(pace_.stopDelay(TravelPace::Clock::now()));
    PreloadedPicture later;
    later.pending = true;
    return later;
}

std::optional<PreloadedPicture> PreloadCoordinator::take(bool wait) {
    if (!active()) return std::nullopt;
    const int row = query_.currentRow();
    follow(row);
    const std::optional<std::int64_t> rowid = query_.rowidAt(row);
    if (!rowid) return std::nullopt;
    // While the keys outrun the worker a paint neither waits nor decodes: the area keeps
    // what it shows until this record's picture comes or the keys stop.
    const bool mayPend = wait && outrun();
    // The data version costs a statement: ask for it only when a picture waits.
    const bool again = lastTaken_ && lastTaken_->first.rowid == *rowid;
    if (!again && !preloader_->hasRowid(*rowid)) return mayPend ? pending(row) : std::nullopt;
    const PreloadKey key{*rowid, query_.dataVersion(), view_.displayTarget()};
    if (again && lastTaken_->first == key) return lastTaken_->second;
    if (mayPend && !preloader_->ready(key)) return pending(row);
    lastTaken_.reset();
    std::optional<PreloadedPicture> preloaded = preloader_->take(key, wait);
    if (preloaded) lastTaken_.emplace(key, *preloaded);
    return preloaded;
}

void PreloadCoordinator::decodeCurrentAhead() {
    // Not on every refresh: a command that walks many records paints only the last.
    if (!active()) return;
    const int row = query_.currentRow();
    const std::optional<PreloadKey> key = keyAt(row);
    if (!key) return;
    if (preloader_->has(*key)) {
        preloader_->moveToFront(*key);
        return;
    }
    if (SharedBytes bytes = query_.blobAt(row, "picture")) preloader_->add(*key, std::move(bytes), true);
}

void PreloadCoordinator::schedule() {
    if (!preloader_ || scheduled_) return;
    scheduled_ = true;
    view_.post([this] {
        scheduled_ = false;
        preloadNeighbours();
    });
}

void PreloadCoordinator::pictureFinished() {
    if (!active()) return;
    const int row = query_.currentRow();
    const bool waited = pendingRow_ && *pendingRow_ == row;
    if (waited) {
        if (const std::optional<PreloadKey> key = keyAt(row); key && preloader_->ready(*key)) {
            pendingRow_.reset();
            if (onCurrentReady_) onCurrentReady_();  // its paint asks for the neighbours
            return;
        }
        // The keys stopped on a record not made yet: it comes next, and a decode further
        // on is given up.
        if (!outrun()) decodeCurrentAhead();
    }
    preloadNeighbours();
    if (waited && !preloader_->busy()) preloader_->wakeAfter(pace_.stopDelay(TravelPace::Clock::now()));
}

void PreloadCoordinator::preloadNeighbours() {
    if (!active()) return;
    const int row = query_.currentRow();
    if (row < 0) return;
    follow(row);
    const PictureQuery::DataVersion version = query_.dataVersion();
    const DisplayTarget target = view_.displayTarget();
    std::vector<std::pair<int, PreloadKey>> neighbours;
    for (int neighbourRow : pace_.aheadOf(row, query_.recordCount() - 1, msPerDecode(), TravelPace::Clock::now())) {
        if (auto rowid = query_.rowidAt(neighbourRow)) neighbours.push_back({neighbourRow, {*rowid, version, target}});
    }
    // The current record's own picture stays wanted while a paint waits for it.
    std::vector<PreloadKey> keys;
    if (auto rowid = query_.rowidAt(row)) keys.push_back({*rowid, version, target});
    auto want = [&](const PreloadKey& key) {
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    };
    if (outrun()) {
        // A picture coming for a record still ahead stays wanted (the plan moves on with
        // every key), and one is made ahead at a time: pictures passed hold no memory.
        for (const auto& [handedRow, key] : handedOver_) {
            if ((handedRow - row) * pace_.direction() > 0) want(key);
        }
        for (const auto& neighbour : neighbours) want(neighbour.second);
        keys.resize(std::min<std::size_t>(keys.size(), 2));
    } else {
        for (const auto& neighbour : neighbours) want(neighbour.second);
    }
    preloader_->keepOnly(keys);
    std::erase_if(handedOver_, [&](const auto& handed) { return std::find(keys.begin(), keys.end(), handed.second) == keys.end(); });
    if (preloader_->busy()) return;  // asks again when it has finished
    for (const auto& [neighbourRow, key] : neighbours) {
        if (preloader_->has(key) || std::find(keys.begin(), keys.end(), key) == keys.end()) continue;
        if (SharedBytes bytes = query_.blobAt(neighbourRow, "picture")) {
            preloader_->add(key, std::move(bytes));
            handedOver_.emplace_back(neighbourRow, key);
            return;
        }
    }
}

}  // namespace velmora
