#include "browser/Unit4.h"

#include "browser/Unit1.h"
#include "browser/command_guard.h"
#include "browser/wallpaper_windows_qt.h"
#include "wallpaper/set_to_desktop.h"

namespace velmora {

TForm4::TForm4(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName("Form4");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle("查看原始图片");
    setCursor(Qt::PointingHandCursor);
    setFixedSize(417, 361);
    move(18, 17);

    Image1 = new PictureImage(this);
    Image1->setObjectName("Image1");
    Image1->move(0, 0);
    Image1->setFitFlags({.stretch = false, .proportional = false, .center = true});
    Image1->setAutoSize(true);
    Image1->setCursor(Qt::PointingHandCursor);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    SetToDesktop = PopupMenu1->addAction("设为桌面(&T)");
    SetToDesktop->setObjectName("SetToDesktop");
    Quit = PopupMenu1->addAction("关闭(&Q)");
    Quit->setObjectName("Quit");
    setContextMenuPolicy(Qt::CustomContextMenu);
    Image1->setContextMenuPolicy(Qt::CustomContextMenu);
    auto popup = [this](QWidget* widget) {
        connect(widget, &QWidget::customContextMenuRequested, this,
                [this, widget](const QPoint& pos) { PopupMenu1->popup(widget->mapToGlobal(pos)); });
    };
    popup(this);
    popup(Image1);

    connect(Image1, &PictureImage::clicked, this, [this] { Image1Click(); });
    connect(Quit, &QAction::triggered, this, [this] { QuitClick(); });
    connect(SetToDesktop, &QAction::triggered, this, [this] { runGuarded([this] { SetToDesktopClick(); }); });
}

void TForm4::showPicture(const JpegPicture& picture) {
    Image1->setPicture(picture);
    setFixedSize(Image1->size());
}

void TForm4::SetToDesktopClick() {
    WallpaperRequest request;
    request.variant = WallpaperVariant::Viewer;
    request.pictureIsNull = main_.currentPictureIsNull();
    request.displayedPicture = &Image1->picture();
    request.name = main_.displayedName();
    QtWallpaperWindows windows(main_, this);
    setToDesktop(request, *main_.services().platform, windows);
}

}  // namespace velmora
