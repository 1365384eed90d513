// Deleting, cutting, copying, renaming and saving the current picture.
#include "browser/main_window.h"
#include "browser/rename_dialog.h"
#include "browser/dialog_filters.h"
#include "browser/message_boxes.h"
#include "store/imagefile/clipboard.h"

namespace velmora {

bool MainWindow::confirmRemoval(const std::string& noPicture, const std::string& lastPicture,
                            const std::string& question) {
    if (currentPictureIsNull()) {
        showCondition(noPicture);
        return false;
    }
    // Counted on the result set: under a filter its only record is kept too.
    if (pictures.recordCount() == 1) {
        showCondition(lastPicture);
        return false;
    }
    return confirm(question);
}

void MainWindow::deletePicture() {
    if (!confirmRemoval("当前没有可删除的图片", "数据库中至少要保留一张图片，你不能删除此图!",
                        "你真的要从数据库中删除此图片吗？")) {
        return;
    }
    pictures.remove();
    showCurrentPicture();
    pictureCount -= 1;
    updateCountLabel();
}

void MainWindow::cutToClipboard() {
    if (!confirmRemoval("当前没有可剪切的图片!", "数据库中至少要保留一张图片，你不能剪切此图!",
                        "剪切的图片将在数据库中删除，确实要删除此图片吗？")) {
        return;
    }
    // The refresh after the delete replaces pictureView's picture: keep the removed one,
    // and write the clipboard only once the delete has succeeded.
    JpegPicture removed = pictureView->picture();
    removed.jpegData();  // fetch the bytes while the record is still there
    pictures.remove();
    copyPicture(*services_.clipboard, removed);
    showCurrentPicture();
    pictureCount -= 1;
    updateCountLabel();
}

void MainWindow::copyToClipboard() {
    if (currentPictureIsNull()) {
        showCondition("当前没有可复制的图片!");
        return;
    }
    copyPicture(*services_.clipboard, pictureView->picture());
}

void MainWindow::renamePicture() {
    if (currentPictureIsNull()) {
        showCondition("当前没有可命名的图片！");
        return;
    }
    RenameDialog dialog(*this);
    dialog.exec();
}

void MainWindow::savePicture() {
    if (currentPictureIsNull()) {
        showCondition("当前没有可保存的图片");
        return;
    }
    auto path = services_.fileDialogs->execute(this, FileDialogKind::Save, savePictureDialog);
    if (!path) return;
    pictureView->picture().saveToFile(*path);
    // After a completed save the dialog's texts are emptied: from now on a name typed
    // without an extension is written as typed.
    savePictureDialog.defaultExt.clear();
    savePictureDialog.fileName.clear();
    savePictureDialog.initialDir.clear();
    savePictureDialog.title.clear();
    savePictureDialog.filter = kSavePictureFilter;
}

}  // namespace velmora
