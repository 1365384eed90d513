// What the browser asks of the main window, and files dropped on it.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProgressDialog>
#include <QTimer>
#include <QUrl>

#include "qt_window/dropped_files.h"
#include "qt_window/main_window.h"
#include "qt_window/name_dialog.h"
#include "qt_window/password_dialog.h"
#include "qt_window/qt_file_dialogs.h"
#include "qt_window/qt_message_boxes.h"
#include "qt_window/thumbnail_window.h"
#include "qt_window/trash_dialog.h"
#include "qt_window/viewer_window.h"
#include "qt_window/wallpaper_settings_dialog.h"

namespace velmora {

namespace {

class QtProgress : public Progress {
public:
    QtProgress(QWidget* parent, int total) : dialog_(parent) {
        dialog_.setObjectName("AddingProgress");
        dialog_.setWindowTitle(parent->windowTitle());
        dialog_.setCancelButtonText(QString::fromUtf8(texts().cancelButton));
        dialog_.setRange(0, total);
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(0);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
    }
    bool advance(int done, const std::string& label) override {
        dialog_.setLabelText(QString::fromStdString(label));
        dialog_.setValue(done);  // lets the Cancel button be pressed
        return !dialog_.wasCanceled();
    }

private:
    QProgressDialog dialog_;
};

}  // namespace

void MainWindow::setTitle(const std::string& title) { setWindowTitle(QString::fromStdString(title)); }

void MainWindow::setCurrentName(const std::string& name) { nameLabel->setText(QString::fromStdString(name)); }

void MainWindow::setCountText(const std::string& text) { countLabel->setText(QString::fromStdString(text)); }

void MainWindow::refreshNameList() { nameList->refresh(); }

void MainWindow::showPicture(const JpegPicture& picture, std::optional<std::string> decoderError) {
    pictureView->setPicture(picture, std::move(decoderError));
}

void MainWindow::clearPicture() { pictureView->clear(); }

DisplayTarget MainWindow::displayTarget() const { return pictureView->displayTarget(); }

void MainWindow::askText(const TextRequest& request) {
    NameDialog dialog(request, this);
    dialog.exec();
}

void MainWindow::askPassword(PasswordForm& form) {
    PasswordDialog dialog(form, this);
    dialog.exec();
}

std::vector<std::string> MainWindow::chooseFiles(FileDialogKind kind, FileDialogSettings& settings) {
    return runFileDialog(this, kind, settings);
}

bool MainWindow::confirm(const std::string& question) { return showConfirmBox(question); }

void MainWindow::showMessage(MessageKind kind, const std::string& text, const std::string& details) {
    showMessageBox(kind, text, details);
}

std::unique_ptr<Progress> MainWindow::startProgress(int total) { return std::make_unique<QtProgress>(this, total); }

void MainWindow::showTrash(const TrashRequest& request) {
    TrashDialog dialog(request, this);
    dialog.exec();
}

void MainWindow::showThumbnails() {
    if (!thumbnails_) thumbnails_ = new ThumbnailWindow(browser_->thumbnails(), this);
    thumbnails_->show();
    thumbnails_->raise();
    thumbnails_->activateWindow();
}

void MainWindow::askWallpaperSettings(const WallpaperSettingsRequest& request) {
    WallpaperSettingsDialog dialog(request, this);
    dialog.exec();
}

void MainWindow::showViewer(const ViewerContent& content) {
    ViewerWindow viewer(content, *browser_, this);
    viewer_ = &viewer;
    viewer.exec();
    viewer_ = nullptr;
}

void MainWindow::showInViewer(const ViewerContent& content) {
    if (viewer_) viewer_->showContent(content);
}

void MainWindow::closeViewer() {
    if (!viewer_) return;
    viewer_->hide();
    viewer_->reject();  // ends the viewer's modal display once the command returns
}

void MainWindow::hideMainWindow() { hide(); }

void MainWindow::showAndRaiseMainWindow() {
    show();
    raise();
    activateWindow();
}

void MainWindow::closeMainWindow() { QWidget::close(); }

void MainWindow::post(std::function<void()> task) { QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection); }

void MainWindow::postAfter(int ms, std::function<void()> task) { QTimer::singleShot(ms, this, std::move(task)); }

void MainWindow::watchChanges(int socket) {
    if (changeNotifier_) {
        // Maybe the one whose signal runs now: it goes once that returns.
        changeNotifier_->setEnabled(false);
        changeNotifier_->deleteLater();
        changeNotifier_ = nullptr;
    }
    if (socket < 0) return;
    changeNotifier_ = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    connect(changeNotifier_, &QSocketNotifier::activated, this, [this] { browser_->changesMayHaveArrived(); });
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (browser_->acceptsDrop(localFiles(event->mimeData()))) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files = localFiles(event->mimeData());
    if (!browser_->acceptsDrop(files)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    browser_->drop(files);
}

}  // namespace velmora
