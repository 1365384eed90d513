#include "browser/preload_coordinator.h"

#include <algorithm>

namespace velmora {

void PreloadCoordinator::setEnabled(bool on, NeighbourPreloader::Decoder decoder) {
    if (!on) {
        preloader_.reset();
        lastTaken_.reset();
        pendingRow_.reset();
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

void PreloadCoordinator::follow(int row) {
    if (row < 0 || row == lastRow_) return;
    if (lastRow_ >= 0) {
        direction_ = row > lastRow_ ? 1 : -1;
        if (preloader_ && preloader_->busy()) ++movesSinceFinish_;
    }
    lastRow_ = row;
}

std::optional<PreloadKey> PreloadCoordinator::keyAt(int row) {
    const std::optional<std::int64_t> rowid = query_.rowidAt(row);
    if (!rowid) return std::nullopt;
    return PreloadKey{*rowid, query_.dataVersion(), view_.displayTarget()};
}

std::optional<PreloadedPicture> PreloadCoordinator::take(bool wait) {
    if (!active()) return std::nullopt;
    const int row = query_.currentRow();
    follow(row);
    const std::optional<std::int64_t> rowid = query_.rowidAt(row);
    if (!rowid) return std::nullopt;
    // While the keys outrun the worker a paint neither waits nor decodes: the area keeps
    // what it shows until this record's picture comes or the keys stop.
    const bool mayPend = wait && outrun() && preloader_->busy();
    auto pending = [&] {
        pendingRow_ = row;
        PreloadedPicture later;
        later.pending = true;
        return std::optional<PreloadedPicture>(std::move(later));
    };
    // The data version costs a statement: ask for it only when a picture waits.
    const bool again = lastTaken_ && lastTaken_->first.rowid == *rowid;
    if (!again && !preloader_->hasRowid(*rowid)) return mayPend ? pending() : std::nullopt;
    const PreloadKey key{*rowid, query_.dataVersion(), view_.displayTarget()};
    if (again && lastTaken_->first == key) return lastTaken_->second;
    if (mayPend && !preloader_->ready(key)) return pending();
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
    movesPerDecode_ = movesSinceFinish_;
    movesSinceFinish_ = 0;
    if (!active()) return;
    const int row = query_.currentRow();
    const bool waited = pendingRow_ && *pendingRow_ == row;
    if (waited) {
        if (const std::optional<PreloadKey> key = keyAt(row); key && preloader_->ready(*key)) {
            pendingRow_.reset();
            if (onCurrentReady_) onCurrentReady_();  // its paint asks for the neighbours
            return;
        }
    }
    preloadNeighbours();
    // The keys stopped on a record not made yet: it comes next.
    if (waited && (!outrun() || !preloader_->busy())) decodeCurrentAhead();
    if (!preloader_->busy()) movesPerDecode_ = 0;  // idle: the pace of the keys is not known
}

void PreloadCoordinator::preloadNeighbours() {
    if (!active()) return;
    const int row = query_.currentRow();
    if (row < 0) return;
    follow(row);
    const PictureQuery::DataVersion version = query_.dataVersion();
    const DisplayTarget target = view_.displayTarget();
    // Nearest first: two ahead and one behind; while the keys outrun the worker, where
    // the user will be when the next picture is done, and as far again.
    std::vector<int> offsets{direction_, 2 * direction_, -direction_};
    if (outrun()) {
        const int step = std::max(movesPerDecode_, movesSinceFinish_) + 1;
        const int last = query_.recordCount() - 1;
        offsets.clear();
        for (int ahead : {step, 2 * step}) {
            const int offset = std::clamp(row + direction_ * ahead, 0, std::max(last, 0)) - row;
            if (offset != 0 && std::find(offsets.begin(), offsets.end(), offset) == offsets.end()) offsets.push_back(offset);
        }
        if (offsets.empty()) offsets = {-direction_};  // at the end: the one behind
    }
    std::vector<std::pair<int, PreloadKey>> neighbours;
    for (int offset : offsets) {
        if (auto rowid = query_.rowidAt(row + offset)) neighbours.push_back({row + offset, {*rowid, version, target}});
    }
    // The current record's own picture stays wanted while a paint waits for it.
    std::vector<PreloadKey> keys;
    if (auto rowid = query_.rowidAt(row)) keys.push_back({*rowid, version, target});
    for (const auto& neighbour : neighbours) keys.push_back(neighbour.second);
    preloader_->keepOnly(keys);
    if (preloader_->busy()) return;  // asks again when it has finished
    for (const auto& [neighbourRow, key] : neighbours) {
        if (preloader_->has(key)) continue;
        if (SharedBytes bytes = query_.blobAt(neighbourRow, "picture")) {
            preloader_->add(key, std::move(bytes));
            return;
        }
    }
}

}  // namespace velmora
