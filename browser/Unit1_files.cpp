// Opening another picture data file, and creating a new one from the template.
#include <filesystem>

#include <QDir>

#include "browser/Unit1.h"
#include "browser/Unit7.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/system_error.h"
#include "store/error.h"

namespace velmora {

void TForm1::OpenPicDataFileClick() {
    auto path = services_.fileDialogs->execute(this, FileDialogKind::Open, OpenDialog1);
    if (!path) return;
    ADOConnection1.close();
    ADOConnection1.setConnectionString(connectionStringFor(*path));
    ADOConnection1.open();
    ADOQuery1.open();
    setWindowTitle("Velmora    [ " + QString::fromStdString(*path) + " ]");
    if (currentPictureIsNull()) {
        applyEmptyFileRule();
    } else {
        applyLoadedFileRule();
    }
}

void TForm1::NewPicFileClick() {
    TForm7 dialog(*this);
    dialog.exec();
}

void TForm1::createPictureFile(const std::string& name) {
    const std::string fileName = name + ".vlm";
    // Never replace, and never empty, a file that already exists under that name.
    platform::Files& files = services_.platform->files;
    if (!files.copyFile("pictures.vlm", fileName, true) && files.lastError() == platform::kErrorFileExists) {
        throw Error(platform::cannotCreateFileMessage(std::filesystem::absolute(fileName).string(),
                                                      platform::kErrorFileExists));
    }
    // Any other failure of the copy surfaces when the new file is opened.
    std::string path = QDir::currentPath().toStdString() + "/" + fileName;
    ADOConnection1.close();
    ADOConnection1.setConnectionString(connectionStringFor(path));
    ADOConnection1.open();
    ADOQuery1.open();
    setWindowTitle("Velmora    [ " + QString::fromStdString(path) + " ]");

    // The copied records go in one transaction: the new file is emptied all at once,
    // or, on a failure, not at all.
    int count = ADOQuery1.recordCount();
    ADOConnection1.beginTransaction();
    try {
        for (int i = 0; i < count; ++i) ADOQuery1.remove();
        ADOConnection1.commit();
    } catch (...) {
        // Put the file and the result set back as they were before the deletes.
        try {
            ADOConnection1.rollback();
            ADOQuery1.close();
            ADOQuery1.open();
        } catch (const std::exception&) {
        }
        throw;
    }
    if (currentPictureIsNull()) {
        applyEmptyFileRule();
    } else {
        applyLoadedFileRule();
    }
}

}  // namespace velmora
