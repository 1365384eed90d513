#include "browser/thumbnail_form.h"

#include <algorithm>
#include <cmath>

#include "browser/collection_browser.h"
#include "store/thumbnails/collection_pictures.h"

namespace velmora {

ThumbnailForm::ThumbnailForm(CollectionBrowser& browser, std::string storePath)
    : browser_(browser), storePath_(std::move(storePath)), self_(std::make_shared<ThumbnailForm*>(this)) {}

ThumbnailForm::~ThumbnailForm() {
    worker_.reset();
    *self_ = nullptr;
}

void ThumbnailForm::attach(ThumbnailView* view) {
    view_ = view;
    if (!view_) {
        worker_.reset();  // closed: nothing more is made
        made_.clear();
        leftOut_.clear();
        noRotation_ = false;
        names_.clear();
        collection_.clear();
        return;
    }
    checkCollection();
    const int current = currentRow();
    selected_.clear();
    if (current >= 0) selected_.insert(current);
    anchor_ = current;
}

int ThumbnailForm::rowCount() const { return browser_.query_.active() ? browser_.query_.recordCount() : 0; }

std::string ThumbnailForm::name(int row) {
    if (const std::optional<std::int64_t> rowid = rowidAt(row)) {
        if (const auto found = names_.find(*rowid); found != names_.end()) return found->second;
    }
    return browser_.query_.displayName(row).value_or("");
}

int ThumbnailForm::currentRow() const { return browser_.query_.active() ? browser_.query_.currentRow() : -1; }

std::optional<std::int64_t> ThumbnailForm::rowidAt(int row) const {
    return row >= 0 && row < rowCount() ? browser_.query_.rowidAt(row) : std::nullopt;
}

ThumbnailForm::Cell ThumbnailForm::cell(int row) {
    const std::optional<std::int64_t> rowid = rowidAt(row);
    if (!rowid) return {};
    const auto found = made_.find(*rowid);
    if (found == made_.end()) return {};
    if (found->second.failed) return {nullptr, true, found->second.serial};
    return {&found->second.picture, false, found->second.serial};
}

bool ThumbnailForm::leftOut(int row) {
    const std::optional<std::int64_t> rowid = rowidAt(row);
    if (!rowid) return false;
    auto found = leftOut_.find(*rowid);
    if (found == leftOut_.end()) {
        readRows(row, row + 1);  // a row not shown yet
        found = leftOut_.find(*rowid);
    }
    return found != leftOut_.end() && found->second;
}

bool ThumbnailForm::readRows(int first, int end) {
    std::vector<int> rows;
    for (int row = first; row < end; ++row) {
        const std::optional<std::int64_t> rowid = browser_.query_.rowidAt(row);
        if (!rowid) continue;
        if (!names_.count(*rowid)) names_[*rowid] = browser_.query_.displayName(row).value_or("");
        if (!leftOut_.count(*rowid)) rows.push_back(row);
    }
    if (rows.empty()) return false;
    std::vector<bool> marks(rows.size(), false);
    try {
        // Until the file changes, a collection without the rotation's tables marks nothing.
        if (!noRotation_) {
            std::optional<std::vector<bool>> read = browser_.rowsLeftOut(rows);
            noRotation_ = !read;
            if (read) marks = std::move(*read);
        }
    } catch (const std::exception&) {
        // A file that cannot be read shows no marks; its commands say what is wrong.
    }
    bool marked = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        leftOut_[*browser_.query_.rowidAt(rows[i])] = marks[i];
        marked = marked || marks[i];
    }
    return marked;
}

void ThumbnailForm::trimRows(int first, int end, std::size_t limit) {
    if (made_.size() <= limit && names_.size() <= limit && leftOut_.size() <= limit) return;
    std::unordered_map<std::int64_t, Entry> made;
    std::unordered_map<std::int64_t, bool> leftOut;
    std::unordered_map<std::int64_t, std::string> names;
    for (int row = first; row < end; ++row) {
        const std::optional<std::int64_t> rowid = browser_.query_.rowidAt(row);
        if (!rowid) continue;
        if (auto found = made_.find(*rowid); found != made_.end()) made.insert(std::move(*found));
        if (auto found = leftOut_.find(*rowid); found != leftOut_.end()) leftOut.insert(*found);
        if (auto found = names_.find(*rowid); found != names_.end()) names.insert(std::move(*found));
    }
    made_ = std::move(made);
    leftOut_ = std::move(leftOut);
    names_ = std::move(names);
}

int ThumbnailForm::deviceEdge() const { return static_cast<int>(std::lround(edge() * ratio_)); }

void ThumbnailForm::setPixelRatio(double ratio) {
    if (ratio <= 0 || ratio == ratio_) return;
    ratio_ = ratio;
    made_.clear();
    askWorker();
}

bool ThumbnailForm::larger() {
    if (large_) return false;
    large_ = true;
    made_.clear();
    if (view_) view_->refreshThumbnails();
    return true;
}

bool ThumbnailForm::smaller() {
    if (!large_) return false;
    large_ = false;
    made_.clear();
    if (view_) view_->refreshThumbnails();
    return true;
}

void ThumbnailForm::showRows(int first, int last) {
    first_ = std::max(first, 0);
    last_ = std::min(last, rowCount() - 1);
    checkCollection();
    askWorker();
}

void ThumbnailForm::checkCollection() {
    const std::string path = collectionFilePath(browser_.connection_.handle());
    const PictureQuery::DataVersion version = browser_.query_.dataVersion();
    if (path != collection_ || version.opened != version_.opened || version.fileVersion != version_.fileVersion) {
        // Another file, another statement, or another program wrote: nothing made before counts.
        made_.clear();
        leftOut_.clear();
        noRotation_ = false;
        names_.clear();
    } else if (version.ownChanges != version_.ownChanges) {
        // This program's own writes change no stored picture, but a rowid may be taken
        // again by an added row: each row is checked again while it keeps its picture.
        for (auto& [rowid, entry] : made_) entry.confirmed = false;
        leftOut_.clear();
        noRotation_ = false;
        names_.clear();
    }
    version_ = version;
    if (path != collection_ || (!worker_ && view_)) {
        collection_ = path;
        worker_.reset();
        if (!view_ || path.empty()) return;
        if (!store_ && !storePath_.empty()) store_ = std::make_shared<ThumbnailStore>(storePath_);
        std::weak_ptr<ThumbnailForm*> self = self_;
        BrowserView& mainView = browser_.view_;
        std::atomic<bool>& posted = collectPosted_;
        worker_ = std::make_unique<ThumbnailWorker>(path, store_, [self, &mainView, &posted] {
            if (posted.exchange(true)) return;
            mainView.post([self] {
                if (const std::shared_ptr<ThumbnailForm*> form = self.lock(); form && *form) (*form)->collect();
            });
        });
    }
}

void ThumbnailForm::askWorker() {
    if (!view_) return;
    const int count = rowCount();
    const int screen = std::max(last_ - first_ + 1, 1);
    const int end = std::min(count, last_ + 1 + screen);
    // A row painted before its mark was read is painted again with it.
    if (readRows(first_, end)) view_->thumbnailsArrived();
    if (!worker_) return;
    // What is on screen first, then the next screen.
    std::vector<ThumbnailKey> wanted;
    for (int row = first_; row < end; ++row) {
        const std::optional<std::int64_t> rowid = browser_.query_.rowidAt(row);
        if (!rowid) continue;
        const auto found = made_.find(*rowid);
        if (found == made_.end() || !found->second.confirmed) wanted.push_back({*rowid, deviceEdge()});
    }
    worker_->want(std::move(wanted));
    // Pictures kept in memory: a screen above and two below what is shown.
    trimRows(std::max(0, first_ - screen), end, static_cast<std::size_t>(screen) * 4);
}

void ThumbnailForm::collect() {
    collectPosted_ = false;
    if (!worker_) return;
    bool arrived = false;
    for (MadeThumbnail& made : worker_->take()) {
        if (made.key.edge != deviceEdge()) continue;
        made_[made.key.rowid] = Entry{std::move(made.picture), made.failed, true, ++serials_};
        arrived = true;
    }
    if (arrived && view_) view_->thumbnailsArrived();
}

void ThumbnailForm::moveCursor(int row) {
    movingCursor_ = true;
    browser_.moveToRow(row);
    movingCursor_ = false;
}

void ThumbnailForm::click(int row, bool ctrl, bool shift) {
    if (row < 0 || row >= rowCount()) return;
    if (shift && anchor_ >= 0 && anchor_ < rowCount()) {
        if (!ctrl) selected_.clear();
        for (int r = std::min(anchor_, row); r <= std::max(anchor_, row); ++r) selected_.insert(r);
    } else if (ctrl) {
        if (!selected_.erase(row)) selected_.insert(row);
        anchor_ = row;
    } else {
        selected_ = {row};
        anchor_ = row;
    }
    if (selected(row)) moveCursor(row);
    if (view_) view_->refreshThumbnails();
}

void ThumbnailForm::selectAll() {
    const int count = rowCount();
    for (int row = 0; row < count; ++row) selected_.insert(selected_.end(), row);
    if (view_) view_->refreshThumbnails();
}

void ThumbnailForm::followCursor() {
    if (!view_) return;
    checkCollection();
    const int count = rowCount();
    const int current = currentRow();
    std::erase_if(selected_, [count](int row) { return row >= count; });
    if (!movingCursor_) {
        // A move in the main window: its picture alone is selected, and shown.
        selected_.clear();
        if (current >= 0) selected_.insert(current);
        anchor_ = current;
        if (current >= 0) view_->revealRow(current);
    }
    view_->refreshThumbnails();
    last_ = std::min(last_, count - 1);
    askWorker();
}

void ThumbnailForm::openViewer() { browser_.openViewer(); }

bool ThumbnailForm::acceptsDrop(const std::vector<std::string>& paths) const { return browser_.acceptsDrop(paths); }

void ThumbnailForm::drop(const std::vector<std::string>& paths) { browser_.drop(paths); }

void ThumbnailForm::deleteSelected() {
    if (selected_.empty()) return;
    browser_.removeRows(selectedRows());
}

void ThumbnailForm::exportSelected() {
    if (selected_.empty() || !view_) return;
    const std::vector<int> rows = selectedRows();
    if (const std::optional<std::string> folder = view_->chooseFolder(texts().exportFolderCaption))
        browser_.exportRows(rows, *folder);
}

void ThumbnailForm::setLeftOut(bool leftOut) {
    if (selected_.empty()) return;
    browser_.setRowsLeftOut(selectedRows(), leftOut);
    leftOut_.clear();
    noRotation_ = false;
    askWorker();
    if (view_) view_->refreshThumbnails();
}

void ThumbnailForm::setAsWallpaper() {
    if (selected_.empty()) return;
    moveCursor(*selected_.begin());
    browser_.setAsWallpaper();
}

}  // namespace velmora
