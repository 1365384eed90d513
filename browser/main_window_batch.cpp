// Adding several picture files at once: each named after its file, stored and
// committed in turn, with a progress dialog that can stop the rest.
#include <memory>

#include <QFileInfo>
#include <QProgressDialog>

#include "browser/main_window.h"
#include "browser/message_boxes.h"
#include "store/imagefile/picture_file.h"

namespace velmora {

namespace {

// Batches up to this size finish too quickly to be worth a progress dialog.
constexpr int kBatchWithoutProgress = 5;

std::string nameWithoutExtension(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).completeBaseName().toStdString();
}

std::unique_ptr<QProgressDialog> makeProgressDialog(QWidget* parent, int total) {
    auto progress = std::make_unique<QProgressDialog>(parent);
    progress->setObjectName("AddingProgress");
    progress->setWindowTitle(parent->windowTitle());
    progress->setCancelButtonText("取消");
    progress->setRange(0, total);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    return progress;
}

}  // namespace

void MainWindow::addPictureBatch(const std::vector<std::string>& paths) {
    const int total = static_cast<int>(paths.size());
    std::unique_ptr<QProgressDialog> progress;
    if (total > kBatchWithoutProgress) progress = makeProgressDialog(this, total);

    std::vector<NotAddedFile> notAdded;
    int added = 0;
    for (int i = 0; i < total; ++i) {
        if (progress) {
            progress->setLabelText("正在添加图片 " + QString::number(i + 1) + " / " + QString::number(total));
            progress->setValue(i);  // lets the Cancel button be pressed
            if (progress->wasCanceled()) break;
        }
        const std::string& path = paths[static_cast<std::size_t>(i)];
        try {
            JpegPicture picture = loadPictureFile(path, &imageDecoder_);
            picture.jpegData();  // encoded before the record exists, so a failure leaves none
            nameEntry.name = nameWithoutExtension(path);
            appendPicture(picture);
            pictures.post();
        } catch (const std::exception& error) {
            // A record the store refused to post is dropped again.
            try {
                pictures.cancel();
            } catch (const std::exception&) {
            }
            notAdded.push_back({QFileInfo(QString::fromStdString(path)).fileName().toStdString(), error.what()});
            continue;
        }
        ++added;
        emit batchPictureAdded(added);
    }
    nameEntry.name.clear();
    progress.reset();

    if (added > 0) applyAddedPictureRule(added);
    if (!notAdded.empty()) showNotAddedFiles(notAdded);
}

}  // namespace velmora
