// The full-size viewer and the wallpaper command of the main window.
#include "browser/main_window.h"
#include "browser/viewer_window.h"
#include "browser/message_boxes.h"
#include "browser/wallpaper_windows_qt.h"
#include "wallpaper/set_to_desktop.h"

namespace velmora {

void MainWindow::openViewer() {
    ViewerWindow viewer(*this);
    dataSource.edit();
    if (currentPictureIsNull()) {
        showCondition("没有可查看的图片");
        return;
    }
    viewer.setWindowTitle(viewer.windowTitle() + "    < " + nameLabel->text() + " >");
    JpegPicture picture;
    picture.readStored(pictures.fieldByName("picture").asBytes());
    picture.bitmap();  // decoded here: a picture that does not decode ends the command
    viewer.showPicture(picture);
    QString hint = "图片大小：" + QString::number(viewer.pictureView->width()) + " X " +
                   QString::number(viewer.pictureView->height()) + "     单击关闭";
    viewer.setToolTip(hint);
    viewer.pictureView->setToolTip(hint);
    viewer.exec();
}

void MainWindow::setAsWallpaper() {
    WallpaperRequest request;
    request.variant = WallpaperVariant::MainWindow;
    request.pictureIsNull = currentPictureIsNull();
    request.displayedPicture = &pictureView->picture();
    request.name = displayedName();
    QtWallpaperWindows windows(*this, nullptr);
    setToDesktop(request, *services_.platform, windows);
}

}  // namespace velmora
