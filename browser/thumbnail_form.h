#pragma once
// The thumbnail window's state, for every window: the pictures of the current result
// set in its order, which of them are selected, and what each command does with the
// selection. The selection follows the main window's cursor and moves it: a click makes
// the picture current, and every move of the cursor selects and reveals its thumbnail.
// Pictures are made in the background (ThumbnailWorker) in the order the user sees them
// and kept in the user's thumbnail store; the window draws what cell() holds and a
// placeholder with the name until then, or for a picture that cannot be decoded.

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "browser/thumbnail_view.h"
#include "browser/thumbnail_worker.h"
#include "store/database/picture_query.h"

namespace velmora {

class CollectionBrowser;

class ThumbnailForm {
public:
    // The two sizes, in logical pixels: the square a thumbnail fits in.
    static constexpr int kSmallEdge = 128;
    static constexpr int kLargeEdge = 256;

    // storePath: the kept-thumbnail file ("" keeps none).
    ThumbnailForm(CollectionBrowser& browser, std::string storePath);
    ~ThumbnailForm();
    ThumbnailForm(const ThumbnailForm&) = delete;
    ThumbnailForm& operator=(const ThumbnailForm&) = delete;

    // The window that shows the form; null when it closed (the background work stops).
    void attach(ThumbnailView* view);

    // ---- What the window shows ----

    int rowCount() const;
    std::string name(int row);
    int currentRow() const;
    bool selected(int row) const { return selected_.count(row) != 0; }
    std::vector<int> selectedRows() const { return {selected_.begin(), selected_.end()}; }
    struct Cell {
        const Bitmap* picture = nullptr;  // null while being made, and when failed
        bool failed = false;              // cannot be decoded: the placeholder says so
        // Names this picture alone, never reused: a window may keep its own copy of the
        // pixels (converted for drawing) under it.
        std::uint64_t serial = 0;
    };
    Cell cell(int row);
    // The picture is left out of rotation (the window marks it). Read for the rows near
    // the screen together when they are shown, so painting them reads nothing.
    bool leftOut(int row);

    // The size: logical pixels of the square, and device pixels the pictures are made for.
    int edge() const { return large_ ? kLargeEdge : kSmallEdge; }
    int deviceEdge() const;
    void setPixelRatio(double ratio);
    // Ctrl+Plus and Ctrl+Minus; true when the size changed.
    bool larger();
    bool smaller();

    // ---- What the user does ----

    // The rows on screen now (first..last): their pictures are made first, then the next
    // screen's; work for other rows is dropped.
    void showRows(int first, int last);
    // A click, with Ctrl and Shift as held; the keys' moves are clicks on their target rows.
    void click(int row, bool ctrl = false, bool shift = false);
    void selectAll();
    // Enter or a double click: the full-size viewer of the current picture.
    void openViewer();
    bool acceptsDrop(const std::vector<std::string>& paths) const;
    void drop(const std::vector<std::string>& paths);

    // The commands on the selection: delete (one confirmation naming the count, one undo
    // for all), export into a folder under their names, leave out of or put back into
    // rotation, and the first selected as the wallpaper.
    void deleteSelected();
    void exportSelected();
    void setLeftOut(bool leftOut);
    void setAsWallpaper();

    // ---- From the core and the worker ----

    // The cursor moved or the rows changed.
    void followCursor();
    // Takes what the worker made (on the window's thread).
    void collect();
    // Null until a window is attached; for tests and benchmarks.
    ThumbnailWorker* workerForTesting() { return worker_.get(); }

private:
    struct Entry {
        Bitmap picture;
        bool failed = false;
        bool confirmed = true;  // false: made before this program's own last write, being checked
        std::uint64_t serial = 0;
    };
    void moveCursor(int row);
    void checkCollection();
    void askWorker();
    // Reads the names and rotation marks of rows first..end-1 that are not known yet;
    // true when one of them is marked.
    bool readRows(int first, int end);
    // Forgets what was read of rows outside first..end when it grew beyond `limit` rows.
    void trimRows(int first, int end, std::size_t limit);
    std::optional<std::int64_t> rowidAt(int row) const;

    CollectionBrowser& browser_;
    const std::string storePath_;
    ThumbnailView* view_ = nullptr;
    std::shared_ptr<ThumbnailStore> store_;
    std::unique_ptr<ThumbnailWorker> worker_;
    std::string collection_;
    PictureQuery::DataVersion version_;
    std::set<int> selected_;
    int anchor_ = -1;
    bool movingCursor_ = false;
    bool large_ = false;
    double ratio_ = 1.0;
    int first_ = 0, last_ = -1;
    std::unordered_map<std::int64_t, Entry> made_;  // by rowid, at deviceEdge()
    std::uint64_t serials_ = 0;
    // By rowid, for the rows near the screen: painting reads no file.
    std::unordered_map<std::int64_t, bool> leftOut_;
    std::unordered_map<std::int64_t, std::string> names_;
    bool noRotation_ = false;  // known to have no rotation's tables, until leftOut_ is cleared
    std::shared_ptr<ThumbnailForm*> self_;  // what a posted collect() finds, null once gone
    std::atomic<bool> collectPosted_{false};
};

}  // namespace velmora
