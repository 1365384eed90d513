#include "browser/viewer_window.h"

#include "browser/main_window.h"
#include "browser/command_guard.h"
#include "browser/wallpaper_windows_qt.h"
#include "wallpaper/set_to_desktop.h"

namespace velmora {

ViewerWindow::ViewerWindow(MainWindow& main) : QDialog(&main), main_(main) {
    setObjectName("Form4");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle("查看原始图片");
    setCursor(Qt::PointingHandCursor);
    setFixedSize(417, 361);
    move(18, 17);

    pictureView = new PictureImage(this);
    pictureView->setObjectName("Image1");
    pictureView->move(0, 0);
    pictureView->setFitFlags({.stretch = false, .proportional = false, .center = true});
    pictureView->setAutoSize(true);
    pictureView->setCursor(Qt::PointingHandCursor);

    popupMenu = new QMenu(this);
    popupMenu->setObjectName("PopupMenu1");
    wallpaperAction = popupMenu->addAction("设为桌面(&T)");
    wallpaperAction->setObjectName("SetToDesktop");
    closeAction = popupMenu->addAction("关闭(&Q)");
    closeAction->setObjectName("Quit");
    setContextMenuPolicy(Qt::CustomContextMenu);
    pictureView->setContextMenuPolicy(Qt::CustomContextMenu);
    auto popup = [this](QWidget* widget) {
        connect(widget, &QWidget::customContextMenuRequested, this,
                [this, widget](const QPoint& pos) { popupMenu->popup(widget->mapToGlobal(pos)); });
    };
    popup(this);
    popup(pictureView);

    connect(pictureView, &PictureImage::clicked, this, [this] { pictureClicked(); });
    connect(closeAction, &QAction::triggered, this, [this] { closeViewer(); });
    connect(wallpaperAction, &QAction::triggered, this, [this] { runGuarded([this] { setAsWallpaper(); }); });
}

void ViewerWindow::showPicture(const JpegPicture& picture) {
    pictureView->setPicture(picture);
    setFixedSize(pictureView->size());
}

void ViewerWindow::setAsWallpaper() {
    WallpaperRequest request;
    request.variant = WallpaperVariant::Viewer;
    request.pictureIsNull = main_.currentPictureIsNull();
    request.displayedPicture = &pictureView->picture();
    request.name = main_.displayedName();
    QtWallpaperWindows windows(main_, this);
    setToDesktop(request, *main_.services().platform, windows);
}

}  // namespace velmora
