#include "browser/preload_coordinator.h"

namespace velmora {

void PreloadCoordinator::setEnabled(bool on) {
    if (!on) {
        preloader_.reset();
        lastTaken_.reset();
    } else if (!preloader_) {
        preloader_ = std::make_unique<NeighbourPreloader>();
        // The next neighbour's bytes are read when the worker is free, not all at once:
        // at most one stored value waits in memory.
        preloader_->setOnIdle([this] { view_.post([this] { schedule(); }); });
    }
}

bool PreloadCoordinator::active() const {
    return preloader_ && query_.state() == DatasetState::Browse && view_.displayTarget().flags.proportional;
}

std::optional<PreloadedPicture> PreloadCoordinator::take(bool wait) {
    if (!active()) return std::nullopt;
    const std::optional<std::int64_t> rowid = query_.rowidAt(query_.currentRow());
    // The data version costs a statement: ask for it only when a picture waits.
    const bool again = rowid && lastTaken_ && lastTaken_->first.rowid == *rowid;
    if (!rowid || (!again && !preloader_->hasRowid(*rowid))) return std::nullopt;
    const PreloadKey key{*rowid, query_.dataVersion(), view_.displayTarget()};
    if (again && lastTaken_->first == key) return lastTaken_->second;
    lastTaken_.reset();
    std::optional<PreloadedPicture> preloaded = preloader_->take(key, wait);
    if (preloaded) lastTaken_.emplace(key, *preloaded);
    return preloaded;
}

void PreloadCoordinator::decodeCurrentAhead() {
    // Not on every refresh: a command that walks many records paints only the last.
    if (!active()) return;
    const int row = query_.currentRow();
    const std::optional<std::int64_t> rowid = query_.rowidAt(row);
    if (!rowid) return;
    const PreloadKey key{*rowid, query_.dataVersion(), view_.displayTarget()};
    if (preloader_->has(key)) {
        preloader_->moveToFront(key);
        return;
    }
    if (SharedBytes bytes = query_.blobAt(row, "picture")) preloader_->add(key, std::move(bytes), true);
}

void PreloadCoordinator::schedule() {
    if (!preloader_ || scheduled_) return;
    scheduled_ = true;
    view_.post([this] {
        scheduled_ = false;
        preloadNeighbours();
    });
}

void PreloadCoordinator::preloadNeighbours() {
    if (!active()) return;
    const int row = query_.currentRow();
    if (row < 0) return;
    const PictureQuery::DataVersion version = query_.dataVersion();
    const DisplayTarget target = view_.displayTarget();
    // At most two ahead and one behind, nearest first.
    std::vector<std::pair<int, PreloadKey>> neighbours;
    for (int offset : {1, 2, -1}) {
        if (auto rowid = query_.rowidAt(row + offset)) neighbours.push_back({row + offset, {*rowid, version, target}});
    }
    std::vector<PreloadKey> keys;
    for (const auto& neighbour : neighbours) keys.push_back(neighbour.second);
    preloader_->keepOnly(keys);
    if (preloader_->busy()) return;  // asks again when idle
    for (const auto& [neighbourRow, key] : neighbours) {
        if (preloader_->has(key)) continue;
        if (SharedBytes bytes = query_.blobAt(neighbourRow, "picture")) {
            preloader_->add(key, std::move(bytes));
            return;
        }
    }
}

}  // namespace velmora
