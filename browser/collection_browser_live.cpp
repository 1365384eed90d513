// Live updates: on a server collection, what other clients add, delete and rename shows
// in this window shortly after, the current picture kept current.
#include "browser/collection_browser.h"
#include "store/database/sql_database.h"

namespace velmora {
namespace {

// A burst of changes (another client adding a thousand pictures) arriving within this
// time is shown by one refresh.
constexpr int kRefreshDelayMs = 150;

}  // namespace

void CollectionBrowser::changesMayHaveArrived() {
    try {
        noticeChanges();
    } catch (const std::exception&) {
        // Read again with the next news; a connection that broke is said by the next command.
    }
    followConnection();
}

void CollectionBrowser::followConnection() noexcept {
    // A reconnect or another collection brings another socket; a broken connection none.
    const int socket = connection_.isOpen() ? connection_.database().changeSocket() : -1;
    if (socket != watchedSocket_) {
        watchedSocket_ = socket;
        view_.watchChanges(socket);
    }
    try {
        // News read along with a command's own results waits in the connection: the socket
        // says nothing of it any more.
        noticeChanges();
    } catch (const std::exception&) {
    }
}

void CollectionBrowser::noticeChanges() {
    if (connection_.isOpen() && connection_.database().othersChanged()) refreshWanted_ = true;
    scheduleRefresh();
}

void CollectionBrowser::scheduleRefresh() {
    if (!refreshWanted_ || refreshScheduled_ || commandDepth_ > 0) return;
    refreshScheduled_ = true;
    view_.postAfter(kRefreshDelayMs, [this] {
        refreshScheduled_ = false;
        refreshFromOthers();
    });
}

void CollectionBrowser::refreshFromOthers() {
    // Under a dialog of a command, or with a record being written, the refresh waits for
    // the command's end.
    if (commandDepth_ > 0 || !query_.active() || query_.state() != DatasetState::Browse) return;
    refreshWanted_ = false;
    ++commandDepth_;
    try {
        const int before = query_.recordCount();
        const PictureQuery::Refreshed refreshed = query_.refresh();
        // The count follows the rows as this window's own adds and deletes move it.
        if (const int added = query_.recordCount() - before; added != 0) {
            pictureCount_ += added;
            updateCountLabel();
        }
        // Names are read again whatever changed: a rename leaves the rows as they were.
        showCurrentName();
        if (query_.recordCount() == 0) {
            clearShownPicture();
            setStates({.previous = false, .next = false, .pictureCommands = false});
        } else {
            setStates({.previous = states_.previous, .next = states_.next, .pictureCommands = true});
            // A current picture as it was is not drawn again.
            refreshed.current || currentPictureIsNull() ? followCurrentRecord() : followCursorFlags();
        }
    } catch (const std::exception&) {
        // Nothing changed; the next command reports what is wrong.
    }
    if (--commandDepth_ == 0) followConnection();
}

}  // namespace velmora
