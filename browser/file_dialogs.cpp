#include "browser/file_dialogs.h"

#include "browser/texts.h"

namespace velmora {

FileDialogs::FileDialogs() {
    openPicture.filter = texts().openPictureFilter;
    openPicture.picturePreview = true;
    save.filter = texts().savePictureFilter;
    save.defaultExt = ".jpg";
    save.overwritePrompt = true;
    save.picturePreview = true;
    openCollection.filter = texts().openCollectionFilter;
}

void FileDialogs::saveCompleted() {
    save.defaultExt.clear();
    save.fileName.clear();
    save.initialDir.clear();
    save.title.clear();
    save.filter = texts().savePictureFilter;
}

}  // namespace velmora
