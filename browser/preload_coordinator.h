#pragma once
// Decoding ahead for the picture area: the shown record and its neighbours are decoded on
// the preloader's worker for the area's display target, and the picture made for the
// current record is handed over when the area asks. The store is read here, on the
// user-interface thread; the worker gets bytes only.
//
// The neighbours follow the direction of travel. While the user moves on faster than
// pictures decode (a held key), the worker decodes where the user will be by the time it
// is done rather than the records passed meanwhile, and a paint never waits for it.

#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "browser/browser_view.h"
#include "browser/neighbour_preloader.h"
#include "store/database/picture_query.h"

namespace velmora {

class PreloadCoordinator {
public:
    PreloadCoordinator(PictureQuery& query, BrowserView& view) : query_(query), view_(view) {}

    // On by default; off drops the worker and what it made.
    void setEnabled(bool on, NeighbourPreloader::Decoder decoder = NeighbourPreloader::decodeForDisplay);
    // Called when the record a paint was told is pending has its picture: show it again.
    void setOnCurrentReady(std::function<void()> onReady) { onCurrentReady_ = std::move(onReady); }
    // The display bitmap decoded ahead for the current record, if any. wait: for a paint;
    // waits when the worker is making it now, or, while the user moves faster than
    // pictures decode, answers pending instead of waiting.
    std::optional<PreloadedPicture> take(bool wait);
    // Puts the current record first: what follows the opening of a file runs beside it.
    void decodeCurrentAhead();
    // Reads the neighbours' bytes once the events queued now have run (the paint first).
    void schedule();
    // Null when off.
    NeighbourPreloader* preloader() { return preloader_.get(); }

private:
    // Only a picture area that draws display bitmaps can use what is made ahead.
    bool active() const;
    void preloadNeighbours();
    void pictureFinished();
    // Notes a move of the current record: its direction, and one more move while the
    // worker decodes.
    void follow(int row);
    // More than one move while a picture decodes: the keys outrun the worker.
    bool outrun() const { return std::max(movesPerDecode_, movesSinceFinish_) > 1; }
    std::optional<PreloadKey> keyAt(int row);

    PictureQuery& query_;
    BrowserView& view_;
    std::unique_ptr<NeighbourPreloader> preloader_;
    std::function<void()> onCurrentReady_;
    bool scheduled_ = false;
    // The preloaded picture last taken: a command that shows the record again (next and
    // previous do, after the refresh) finds it here.
    std::optional<std::pair<PreloadKey, PreloadedPicture>> lastTaken_;
    int lastRow_ = -1;
    int direction_ = 1;
    int movesSinceFinish_ = 0;
    int movesPerDecode_ = 0;
    // The record a paint was told is pending.
    std::optional<int> pendingRow_;
};

}  // namespace velmora
