// Deleting, cutting, copying, renaming and saving the current picture.
#include "browser/Unit1.h"
#include "browser/Unit3.h"
#include "browser/dialog_filters.h"
#include "browser/message_boxes.h"
#include "store/imagefile/clipboard.h"

namespace velmora {

bool TForm1::confirmRemoval(const std::string& noPicture, const std::string& lastPicture,
                            const std::string& question) {
    if (currentPictureIsNull()) {
        showCondition(noPicture);
        return false;
    }
    // Counted on the result set: under a filter its only record is kept too.
    if (ADOQuery1.recordCount() == 1) {
        showCondition(lastPicture);
        return false;
    }
    return confirm(question);
}

void TForm1::DeleteFormDBClick() {
    if (!confirmRemoval("当前没有可删除的图片", "数据库中至少要保留一张图片，你不能删除此图!",
                        "你真的要从数据库中删除此图片吗？")) {
        return;
    }
    ADOQuery1.remove();
    showCurrentPicture();
    pictureCount -= 1;
    updateCountLabel();
}

void TForm1::CutToCBoardClick() {
    if (!confirmRemoval("当前没有可剪切的图片!", "数据库中至少要保留一张图片，你不能剪切此图!",
                        "剪切的图片将在数据库中删除，确实要删除此图片吗？")) {
        return;
    }
    // The refresh after the delete replaces Image1's picture: keep the removed one,
    // and write the clipboard only once the delete has succeeded.
    JpegPicture removed = Image1->picture();
    ADOQuery1.remove();
    copyPicture(*services_.clipboard, removed);
    showCurrentPicture();
    pictureCount -= 1;
    updateCountLabel();
}

void TForm1::CopyToCBoardClick() {
    if (currentPictureIsNull()) {
        showCondition("当前没有可复制的图片!");
        return;
    }
    copyPicture(*services_.clipboard, Image1->picture());
}

void TForm1::RenameClick() {
    if (currentPictureIsNull()) {
        showCondition("当前没有可命名的图片！");
        return;
    }
    TForm3 dialog(*this);
    dialog.exec();
}

void TForm1::SaveToFileClick() {
    if (currentPictureIsNull()) {
        showCondition("当前没有可保存的图片");
        return;
    }
    auto path = services_.fileDialogs->execute(this, FileDialogKind::Save, SavePictureDialog1);
    if (!path) return;
    Image1->picture().saveToFile(*path);
    // After a completed save the dialog's texts are emptied: from now on a name typed
    // without an extension is written as typed.
    SavePictureDialog1.defaultExt.clear();
    SavePictureDialog1.fileName.clear();
    SavePictureDialog1.initialDir.clear();
    SavePictureDialog1.title.clear();
    SavePictureDialog1.filter = kSavePictureFilter;
}

}  // namespace velmora
