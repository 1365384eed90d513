// Adding pictures from a file or from the clipboard.
#include <optional>

#include "browser/main_window.h"
#include "browser/picture_name_dialog.h"
#include "browser/message_boxes.h"
#include "store/imagefile/clipboard.h"
#include "store/imagefile/picture_file.h"

namespace velmora {

namespace {

// Clears the name entry result on every way out of an adding command.
struct AcceptedFlagReset {
    NameEntryResult& entry;
    ~AcceptedFlagReset() { entry.accepted = false; }
};

}  // namespace

bool MainWindow::askPictureName() {
    nameEntry.accepted = false;
    PictureNameDialog dialog(*this, "图片" + QString::number(pictureCount + 1));
    dialog.exec();
    return nameEntry.accepted;
}

void MainWindow::appendPicture(JpegPicture& picture) {
    pictures.append();
    pictures.fieldByName("filename").setAsString(nameEntry.name);
    pictures.fieldByName("picture").writeBytes(picture.jpegData());
}

void MainWindow::addFromFile() {
    dataSource.edit();
    addPictureFiles(services_.fileDialogs->executeOpenMany(this, openPictureDialog));
}

void MainWindow::addPictureFiles(const std::vector<std::string>& paths) {
    if (paths.size() == 1) {
        addNamedPicture(paths.front());
    } else if (!paths.empty()) {
        addPictureBatch(paths);
    }
}

void MainWindow::addNamedPicture(const std::string& path) {
    AcceptedFlagReset reset{nameEntry};
    JpegPicture picture = loadPictureFile(path, &imageDecoder_);
    std::optional<JpegPicture> previous;
    if (!currentPictureIsNull()) previous = pictureView->picture();

    pictureView->setPicture(picture);
    if (askPictureName()) {
        appendPicture(picture);
        // From a file the rule comes before the post: the refresh after it decides
        // the navigation buttons.
        applyAddedPictureRule();
        nameEntry.accepted = false;
        pictures.post();
    } else if (currentPictureIsNull() || !previous) {
        pictureView->clear();
    } else {
        pictureView->setPicture(*previous);
    }
}

void MainWindow::pasteFromClipboard() {
    AcceptedFlagReset reset{nameEntry};
    dataSource.edit();
    if (!services_.clipboard->hasBitmap()) {
        showCondition("剪贴板中没有二进制图片拷贝!");
        return;
    }
    JpegPicture previous;
    Field stored = pictures.fieldByName("picture");
    previous.readStored(stored.isNull() ? shareBytes({}) : stored.asBytes());

    PictureContainer pasted = pastePicture(*services_.clipboard);
    JpegPicture picture;
    picture.assignBitmap(pasted.bitmap());
    pictureView->setPicture(picture);
    if (askPictureName()) {
        appendPicture(picture);
        // From the clipboard the rule comes last and decides the navigation buttons.
        pictures.post();
        applyAddedPictureRule();
    } else if (currentPictureIsNull()) {
        pictureView->clear();
    } else {
        pictureView->setPicture(previous);
    }
}

}  // namespace velmora
