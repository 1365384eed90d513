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

std::string ThumbnailForm::name(int row) { return browser_.query_.displayName(row).value_or(""); }

int ThumbnailForm::currentRow() const { return browser_.query_.active() ? browser_.query_.currentRow() : -1; }

std::optional<std::int64_t> ThumbnailForm::rowidAt(int row) const {
    return row >= 0 && row < rowCount() ? browser_.query_.rowidAt(row) : std::nullopt;
}

ThumbnailForm::Cell ThumbnailForm::cell(int row) {
    const std::optional<std::int64_t> rowid = rowidAt(row);
    if (!rowid) return {};
    const auto found = made_.find(*rowid);
    if (found == made_.end()) return {};
    if (found->second.failed) return {nullptr, true};
    return {&found->second.picture, false};
}

bool ThumbnailForm::leftOut(int row) {
    const std::optional<std::int64_t> rowid = rowidAt(row);
    if (!rowid) return false;
    if (const auto found = leftOut_.find(*rowid); found != leftOut_.end()) return found->second;
    bool value = false;
    try {
        value = browser_.rowLeftOut(row);
    } catch (const std::exception&) {
        // A file that cannot be read shows no marks; its commands say what is wrong.
    }
    leftOut_[*rowid] = value;
    return value;
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
    } else if (version.ownChanges != version_.ownChanges) {
        // This program's own writes change no stored picture, but a rowid may be taken
        // again by an added row: each row is checked again while it keeps its picture.
        for (auto& [rowid, entry] : made_) entry.confirmed = false;
        leftOut_.clear();
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
    if (!worker_ || !view_) return;
    const int count = rowCount();
    const int screen = std::max(last_ - first_ + 1, 1);
    // What is on screen first, then the next screen.
    std::vector<ThumbnailKey> wanted;
    const int end = std::min(count, last_ + 1 + screen);
    for (int row = first_; row < end; ++row) {
        const std::optional<std::int64_t> rowid = browser_.query_.rowidAt(row);
        if (!rowid) continue;
        const auto found = made_.find(*rowid);
        if (found == made_.end() || !found->second.confirmed) wanted.push_back({*rowid, deviceEdge()});
    }
    worker_->want(std::move(wanted));
    // Pictures kept in memory: a screen above and two below what is shown.
    if (made_.size() > static_cast<std::size_t>(screen) * 4) {
        std::unordered_map<std::int64_t, Entry> kept;
        for (int row = std::max(0, first_ - screen); row < end; ++row) {
            const std::optional<std::int64_t> rowid = browser_.query_.rowidAt(row);
            if (!rowid) continue;
            if (auto found = made_.find(*rowid); found != made_.end()) kept.insert(std::move(*found));
        }
        made_ = std::move(kept);
    }
}

void ThumbnailForm::collect() {
    collectPosted_ = false;
    if (!worker_) return;
    bool arrived = false;
    for (MadeThumbnail& made : worker_->take()) {
        if (made.key.edge != deviceEdge()) continue;
        made_[made.key.rowid] = Entry{std::move(made.picture), made.failed, true};
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
    if (view_) view_->refreshThumbnails();
}

void ThumbnailForm::setAsWallpaper() {
    if (selected_.empty()) return;
    moveCursor(*selected_.begin());
    browser_.setAsWallpaper();
}

}  // namespace velmora
