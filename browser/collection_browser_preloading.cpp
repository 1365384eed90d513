// Decoding the shown record and its neighbours ahead, on the preloader's worker, for
// the picture area's display target.
#include "browser/collection_browser.h"

namespace velmora {

void CollectionBrowser::setNeighbourPreloading(bool on) {
    if (!on) {
        preloader_.reset();
        lastPreloaded_.reset();
    } else if (!preloader_) {
        preloader_ = std::make_unique<NeighbourPreloader>();
        // The next neighbour's bytes are read when the worker is free, not all at once:
        // at most one stored value waits in memory.
        preloader_->setOnIdle([this] { view_.post([this] { schedulePreload(); }); });
    }
}

bool CollectionBrowser::preloading() {
    // Only a picture area that draws display bitmaps can use what is made ahead.
    return preloader_ && query_.state() == DatasetState::Browse && view_.displayTarget().flags.proportional;
}

std::optional<PreloadedPicture> CollectionBrowser::takePreloaded(bool wait) {
    if (!preloading()) return std::nullopt;
    const std::optional<std::int64_t> rowid = query_.rowidAt(query_.currentRow());
    // The data version costs a statement: ask for it only when a picture waits.
    const bool again = rowid && lastPreloaded_ && lastPreloaded_->first.rowid == *rowid;
    if (!rowid || (!again && !preloader_->hasRowid(*rowid))) return std::nullopt;
    const PreloadKey key{*rowid, query_.dataVersion(), view_.displayTarget()};
    if (again && lastPreloaded_->first == key) return lastPreloaded_->second;
    lastPreloaded_.reset();
    std::optional<PreloadedPicture> preloaded = preloader_->take(key, wait);
    if (preloaded) lastPreloaded_.emplace(key, *preloaded);
    return preloaded;
}

void CollectionBrowser::decodeCurrentAhead() {
    // What follows the opening of a file (at start, the window's first show) runs
    // beside it. Not on every refresh: a command that walks many records paints only
    // the last.
    if (!preloading()) return;
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

void CollectionBrowser::schedulePreload() {
    if (!preloader_ || preloadScheduled_) return;
    preloadScheduled_ = true;
    // After the paint has been shown: reading the neighbours' bytes waits until then.
    view_.post([this] {
        preloadScheduled_ = false;
        preloadNeighbours();
    });
}

void CollectionBrowser::preloadNeighbours() {
    if (!preloading()) return;
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
        // Read here, on this thread's connection; the worker gets bytes only.
        if (SharedBytes bytes = query_.blobAt(neighbourRow, "picture")) {
            preloader_->add(key, std::move(bytes));
            return;
        }
    }
}

}  // namespace velmora
