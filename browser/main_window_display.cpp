// The main window's display of the current record, the navigation buttons and the
// availability rules.
#include "browser/main_window.h"

#include <QTimer>

namespace velmora {

bool MainWindow::currentPictureIsNull() { return pictures.fieldByName("picture").isNull(); }

void MainWindow::showCurrentPicture() {
    Field field = pictures.fieldByName("picture");
    if (field.isNull()) return;
    JpegPicture picture;
    if (std::optional<DeferredBytes> deferred = field.deferredBytes()) {
        picture.readStored(*deferred);  // the headers only, until the picture is drawn
    } else {
        picture.readStored(field.asBytes());
    }
    std::optional<std::string> decoderError;
    std::optional<PreloadedPicture> preloaded = takePreloaded(false);
    if (preloaded && (!preloaded->display.empty() || preloaded->error)) {
        picture.adoptDisplayBitmap(std::move(preloaded->display), preloaded->error.has_value());
        decoderError = std::move(preloaded->error);
    }
    pictureView->setPicture(picture, std::move(decoderError));
}

void MainWindow::setNeighbourPreloading(bool on) {
    if (!on) {
        pictureView->setAheadSource({});
        preloader_.reset();
        lastPreloaded_.reset();
    } else if (!preloader_) {
        // A paint that finds no display bitmap takes the one being made ahead.
        pictureView->setAheadSource([this] { return takePreloaded(true); });
        preloader_ = std::make_unique<NeighbourPreloader>();
        // The next neighbour's bytes are read when the worker is free, not all at once:
        // at most one stored value waits in memory.
        preloader_->setOnIdle([this] { QMetaObject::invokeMethod(this, &MainWindow::schedulePreload, Qt::QueuedConnection); });
        connect(pictureView, &PictureImage::painted, this, &MainWindow::schedulePreload, Qt::UniqueConnection);
    }
}

std::optional<PreloadedPicture> MainWindow::takePreloaded(bool wait) {
    if (!preloader_ || pictures.state() != DatasetState::Browse || !pictureView->drawsDisplayBitmaps()) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> rowid = pictures.rowidAt(pictures.currentRow());
    // The data version costs a statement: ask for it only when a picture waits.
    const bool again = rowid && lastPreloaded_ && lastPreloaded_->first.rowid == *rowid;
    if (!rowid || (!again && !preloader_->hasRowid(*rowid))) return std::nullopt;
    const PreloadKey key{*rowid, pictures.dataVersion(), pictureView->displayTarget()};
    if (again && lastPreloaded_->first == key) return lastPreloaded_->second;
    lastPreloaded_.reset();
    std::optional<PreloadedPicture> preloaded = preloader_->take(key, wait);
    if (preloaded) lastPreloaded_.emplace(key, *preloaded);
    return preloaded;
}

void MainWindow::decodeCurrentAhead() {
    if (!preloader_ || pictures.state() != DatasetState::Browse || !pictureView->drawsDisplayBitmaps()) return;
    const int row = pictures.currentRow();
    const std::optional<std::int64_t> rowid = pictures.rowidAt(row);
    if (!rowid) return;
    const PreloadKey key{*rowid, pictures.dataVersion(), pictureView->displayTarget()};
    if (preloader_->has(key)) {
        preloader_->moveToFront(key);
        return;
    }
    if (SharedBytes bytes = pictures.blobAt(row, "picture")) preloader_->add(key, std::move(bytes), true);
}

void MainWindow::schedulePreload() {
    if (!preloader_ || preloadScheduled_) return;
    preloadScheduled_ = true;
    // After the paint has been shown: reading the neighbours' bytes waits until then.
    QTimer::singleShot(0, this, [this] {
        preloadScheduled_ = false;
        preloadNeighbours();
    });
}

void MainWindow::preloadNeighbours() {
    if (!preloader_ || pictures.state() != DatasetState::Browse || !pictureView->drawsDisplayBitmaps()) return;
    const int row = pictures.currentRow();
    if (row < 0) return;
    const PictureQuery::DataVersion version = pictures.dataVersion();
    const DisplayTarget target = pictureView->displayTarget();
    // At most two ahead and one behind, nearest first.
    std::vector<std::pair<int, PreloadKey>> neighbours;
    for (int offset : {1, 2, -1}) {
        if (auto rowid = pictures.rowidAt(row + offset)) neighbours.push_back({row + offset, {*rowid, version, target}});
    }
    std::vector<PreloadKey> keys;
    for (const auto& neighbour : neighbours) keys.push_back(neighbour.second);
    preloader_->keepOnly(keys);
    if (preloader_->busy()) return;  // asks again when idle
    for (const auto& [neighbourRow, key] : neighbours) {
        if (preloader_->has(key)) continue;
        // Read here, on this thread's connection; the worker gets bytes only.
        if (SharedBytes bytes = pictures.blobAt(neighbourRow, "picture")) {
            preloader_->add(key, std::move(bytes));
            return;
        }
    }
}

void MainWindow::setPictureCommandsEnabled(bool enabled) {
    for (QAction* action : {deleteAction, saveAction, wallpaperAction, renameAction, showAllAction, filterByNameAction,
                            copyAction, cutAction}) {
        action->setEnabled(enabled);
    }
    deleteButton->setEnabled(enabled);
    wallpaperButton->setEnabled(enabled);
}

void MainWindow::updateCountLabel() { countLabel->setText(QString::number(pictureCount) + "   张"); }

void MainWindow::applyEmptyFileRule() {
    pictureView->clear();
    previousButton->setEnabled(false);
    nextButton->setEnabled(false);
    setPictureCommandsEnabled(false);
    pictureCount = 0;
    updateCountLabel();
}

void MainWindow::applyLoadedFileRule() {
    showCurrentPicture();
    decodeCurrentAhead();
    pictureCount = pictures.recordCount();
    previousButton->setEnabled(false);
    nextButton->setEnabled(true);
    setPictureCommandsEnabled(true);
    updateCountLabel();
}

void MainWindow::applyAddedPictureRule(int added) {
    pictureCount += added;
    updateCountLabel();
    previousButton->setEnabled(true);
    nextButton->setEnabled(false);
    setPictureCommandsEnabled(true);
}

void MainWindow::followCurrentRecord() {
    if (currentPictureIsNull()) {
        previousButton->setEnabled(false);
        nextButton->setEnabled(false);
        return;
    }
    showCurrentPicture();
    if (pictures.atStart()) {
        previousButton->setEnabled(false);
        nextButton->setEnabled(true);
    } else if (pictures.atEnd()) {
        previousButton->setEnabled(true);
        nextButton->setEnabled(false);
    } else {
        previousButton->setEnabled(true);
        nextButton->setEnabled(true);
    }
}

void MainWindow::showPrevious() {
    if (currentPictureIsNull()) return;
    nextButton->setEnabled(true);
    pictures.activate();
    pictures.prior();
    showCurrentPicture();
    if (pictures.atStart()) previousButton->setEnabled(false);
}

void MainWindow::showNext() {
    if (currentPictureIsNull()) return;
    previousButton->setEnabled(true);
    pictures.activate();
    pictures.next();
    showCurrentPicture();
    if (pictures.atEnd()) nextButton->setEnabled(false);
}

std::string MainWindow::displayedName() const { return nameLabel->text().toStdString(); }

void MainWindow::refreshNameDisplays() {
    int row = pictures.currentRow();
    auto name = row >= 0 ? pictures.displayName(row) : std::nullopt;
    nameLabel->setText(name ? QString::fromStdString(*name) : QString());
    nameList->refresh();
}

void MainWindow::blankNameDisplays() {
    nameLabel->clear();
    nameList->refresh();
}

}  // namespace velmora
