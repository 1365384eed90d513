// The main window's display of the current record, the navigation buttons and the
// availability rules.
#include "browser/main_window.h"

namespace velmora {

bool MainWindow::currentPictureIsNull() { return pictures.fieldByName("picture").isNull(); }

void MainWindow::showCurrentPicture() {
    Field field = pictures.fieldByName("picture");
    if (field.isNull()) return;
    JpegPicture picture;
    picture.readStored(field.asBytes());
    pictureView->setPicture(picture);
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
