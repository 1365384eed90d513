#pragma once
// ViewerWindow, the full-size viewer: the current picture at its own pixel size in a
// window that fits itself to it. A click closes it; its menu can make the picture
// the desktop wallpaper.

#include <QAction>
#include <QDialog>
#include <QMenu>

#include "browser/picture_image.h"

namespace velmora {

class MainWindow;

class ViewerWindow : public QDialog {
    Q_OBJECT

public:
    explicit ViewerWindow(MainWindow& main);

    PictureImage* pictureView;
    QMenu* popupMenu;
    QAction* wallpaperAction;
    QAction* closeAction;

    // Shows picture 1:1 and fits the window to it.
    void showPicture(const JpegPicture& picture);
    void pictureClicked() { reject(); }
    void closeViewer() { reject(); }
    void setAsWallpaper();

private:
    MainWindow& main_;
};

}  // namespace velmora
