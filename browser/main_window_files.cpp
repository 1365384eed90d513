// Opening another picture data file, and creating a new one from the template.
#include <QDir>

#include "browser/main_window.h"
#include "browser/new_file_dialog.h"
#include "store/database/collection_copy.h"

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
    // Through SQLite, so a writer in another instance cannot tear the copy; never over,
    // and never emptying, a file that already exists under that name.
    copyCollection("pictures.vlm", fileName);
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
        // Records a name filter does not select are deleted too: the new file is empty.
        deleteAllPictures(connection);
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
