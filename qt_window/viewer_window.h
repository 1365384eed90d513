#pragma once
// ViewerWindow, the full-size viewer: a picture at its own pixel size in a window that
// fits itself to it. A click closes it; its menu (from the viewer's command table) can
// make the picture the desktop wallpaper.

#include <QDialog>
#include <QMenu>

#include "browser/collection_browser.h"
#include "qt_window/picture_image.h"

namespace velmora {

class ViewerWindow : public QDialog {
    Q_OBJECT

public:
    ViewerWindow(const ViewerContent& content, CollectionBrowser& browser, QWidget* mainWindow);

    PictureImage* pictureView;
    QMenu* popupMenu;
    // The menu item of the viewer's command table named name.
    QAction* action(const char* name) const;
};

}  // namespace velmora
