// The full-size viewer and the wallpaper command of the main window.
#include "browser/Unit1.h"
#include "browser/Unit4.h"
#include "browser/message_boxes.h"
#include "browser/wallpaper_windows_qt.h"
#include "wallpaper/set_to_desktop.h"

namespace velmora {

void TForm1::Image1Click() {
    TForm4 viewer(*this);
    DataSource1.edit();
    if (currentPictureIsNull()) {
        showCondition("没有可查看的图片");
        return;
    }
    viewer.setWindowTitle(viewer.windowTitle() + "    < " + DBText1->text() + " >");
    JpegPicture picture;
    picture.readStored(ADOQuery1.fieldByName("picture").asBytes());
    picture.bitmap();  // decoded here: a picture that does not decode ends the command
    viewer.showPicture(picture);
    QString hint = "图片大小：" + QString::number(viewer.Image1->width()) + " X " +
                   QString::number(viewer.Image1->height()) + "     单击关闭";
    viewer.setToolTip(hint);
    viewer.Image1->setToolTip(hint);
    viewer.exec();
}

void TForm1::SetToDesktopClick() {
    WallpaperRequest request;
    request.variant = WallpaperVariant::MainWindow;
    request.pictureIsNull = currentPictureIsNull();
    request.displayedPicture = &Image1->picture();
    request.name = displayedName();
    QtWallpaperWindows windows(*this, nullptr);
    setToDesktop(request, *services_.platform, windows);
}

}  // namespace velmora
