#pragma once
// Decoding ahead for the picture area: the shown record and its neighbours are decoded on
// the preloader's worker for the area's display target, and the picture made for the
// current record is handed over when the area asks. The store is read here, on the
// user-interface thread; the worker gets bytes only.
//
// The neighbours follow the direction of travel. While the user moves on faster than
// pictures decode (a held key), the worker decodes where the user will be by the time it
// is done rather than the records passed meanwhile, gives up a decode the user has
// passed, and a paint never waits for it. When the keys stop on a record not made yet,
// that record comes next.

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "browser/browser_view.h"
#include "browser/neighbour_preloader.h"
#include "browser/travel_pace.h"
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
    // Notes a move of the current record; while the keys outrun the worker, each move
    // aims it again.
    void follow(int row);
    double msPerDecode();
    // The moves come faster than pictures decode.
    bool outrun();
    // A paint of row waits for its picture.
    std::optional<PreloadedPicture> pending(int row);
    std::optional<PreloadKey> keyAt(int row);

    PictureQuery& query_;
    BrowserView& view_;
    std::unique_ptr<NeighbourPreloader> preloader_;
    std::function<void()> onCurrentReady_;
    bool scheduled_ = false;
    // The preloaded picture last taken: a command that shows the record again (next and
    // previous do, after the refresh) finds it here.
    std::optional<std::pair<PreloadKey, PreloadedPicture>> lastTaken_;
    TravelPace pace_;
    // The records whose pictures were handed to the worker, and their keys.
    std::vector<std::pair<int, PreloadKey>> handedOver_;
    // The record a paint was told is pending.
    std::optional<int> pendingRow_;
};

}  // namespace velmora
