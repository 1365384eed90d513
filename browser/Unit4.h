#pragma once
// TForm4, the full-size viewer: the current picture at its own pixel size in a
// window that fits itself to it. A click closes it; its menu can make the picture
// the desktop wallpaper.

#include <QAction>
#include <QDialog>
#include <QMenu>

#include "browser/picture_image.h"

namespace velmora {

class TForm1;

class TForm4 : public QDialog {
    Q_OBJECT

public:
    explicit TForm4(TForm1& main);

    PictureImage* Image1;
    QMenu* PopupMenu1;
    QAction* SetToDesktop;
    QAction* Quit;

    // Shows picture 1:1 and fits the window to it.
    void showPicture(const JpegPicture& picture);
    void Image1Click() { reject(); }
    void QuitClick() { reject(); }
    void SetToDesktopClick();

private:
    TForm1& main_;
};

}  // namespace velmora
