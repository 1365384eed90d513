// Opening another picture data file, and creating a new one from the template.
#include <filesystem>

#include <QDir>

#include "browser/main_window.h"
#include "browser/new_file_dialog.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "base/system_error.h"
#include "base/error.h"

namespace velmora {

void MainWindow::openPictureFile() {
    auto path = services_.fileDialogs->execute(this, FileDialogKind::Open, openFileDialog);
    if (!path) return;
    openPictureFileAt(*path);
}

void MainWindow::openPictureFileAt(const std::string& path) {
    connection.close();
    connection.setConnectionString(connectionStringFor(path));
    connection.open();
    pictures.open();
    setWindowTitle("Velmora    [ " + QString::fromStdString(path) + " ]");
    if (currentPictureIsNull()) {
        applyEmptyFileRule();
    } else {
        applyLoadedFileRule();
    }
}

void MainWindow::newPictureFile() {
    NewFileDialog dialog(*this);
    dialog.exec();
}

void MainWindow::createPictureFile(const std::string& name) {
    const std::string fileName = name + ".vlm";
    // Never replace, and never empty, a file that already exists under that name.
    platform::Files& files = services_.platform->files;
    if (!files.copyFile("pictures.vlm", fileName, true) && files.lastError() == kErrorFileExists) {
        throw Error(cannotCreateFileMessage(std::filesystem::absolute(fileName).string(),
                                                      kErrorFileExists));
    }
    // Any other failure of the copy surfaces when the new file is opened.
    std::string path = QDir::currentPath().toStdString() + "/" + fileName;
    connection.close();
    connection.setConnectionString(connectionStringFor(path));
    connection.open();
    pictures.open();
    setWindowTitle("Velmora    [ " + QString::fromStdString(path) + " ]");

    // The copied records go in one transaction: the new file is emptied all at once,
    // or, on a failure, not at all.
    int count = pictures.recordCount();
    connection.beginTransaction();
    try {
        for (int i = 0; i < count; ++i) pictures.remove();
        connection.commit();
    } catch (...) {
        // Put the file and the result set back as they were before the deletes.
        try {
            connection.rollback();
            pictures.close();
            pictures.open();
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
