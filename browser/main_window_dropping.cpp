// Files dropped on the main window: picture files are added, one picture data file is
// opened; anything else is refused at the door.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "browser/command_guard.h"
#include "browser/main_window.h"
#include "store/imagefile/picture_file.h"

namespace velmora {

namespace {

struct DroppedFiles {
    std::vector<std::string> pictures;
    std::string dataFile;  // one .vlm dropped alone
    bool empty() const { return pictures.empty() && dataFile.empty(); }
};

DroppedFiles droppedFiles(const QMimeData* data, const ImageDecoder& decoder) {
    DroppedFiles dropped;
    if (!data || !data->hasUrls()) return dropped;
    const QList<QUrl> urls = data->urls();
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const std::string path = url.toLocalFile().toStdString();
        if (urls.size() == 1 && QFileInfo(url.toLocalFile()).suffix().compare("vlm", Qt::CaseInsensitive) == 0) {
            dropped.dataFile = path;
        } else if (isAddablePictureFile(path, &decoder)) {
            dropped.pictures.push_back(path);
        }
    }
    return dropped;
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData(), imageDecoder_).empty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    DroppedFiles dropped = droppedFiles(event->mimeData(), imageDecoder_);
    if (dropped.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The command runs once the drop has returned, so the program the files came from
    // is not kept waiting while the naming dialog or the progress is shown.
    QTimer::singleShot(0, this, [this, dropped = std::move(dropped)] {
        runGuarded([this, &dropped] {
            if (!dropped.dataFile.empty()) {
                openPictureFileAt(dropped.dataFile);
                return;
            }
            dataSource.edit();
            addPictureFiles(dropped.pictures);
        });
    });
}

}  // namespace velmora
