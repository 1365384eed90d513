#pragma once
// Decoding ahead for the picture area: the shown record and its neighbours are decoded on
// the preloader's worker for the area's display target, and the picture made for the
// current record is handed over when the area asks. The store is read here, on the
// user-interface thread; the worker gets bytes only.

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
    void setEnabled(bool on);
    // The display bitmap decoded ahead for the current record, if any. wait: waits when
    // the worker is making it now.
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

    PictureQuery& query_;
    BrowserView& view_;
    std::unique_ptr<NeighbourPreloader> preloader_;
    bool scheduled_ = false;
    // The preloaded picture last taken: a command that shows the record again (next and
    // previous do, after the refresh) finds it here.
    std::optional<std::pair<PreloadKey, PreloadedPicture>> lastTaken_;
};

}  // namespace velmora
