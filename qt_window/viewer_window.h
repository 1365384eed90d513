#pragma once
// ViewerWindow, the full-size viewer: a picture at its own size, one picture pixel per
// device pixel, in a window fitted to it; on a picture larger than the monitor's work
// area the window is limited to it and scrolls (viewerPlace()). A click closes it; its
// menu (from the viewer's command table) can make the picture the desktop wallpaper.

#include <QDialog>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>

#include "browser/browser_core.h"
#include "browser/browser_view.h"
#include "qt_window/viewer_picture.h"

namespace velmora {

class ViewerWindow : public QDialog {
    Q_OBJECT

public:
    ViewerWindow(const ViewerContent& content, CommandRunner& commands, QWidget* mainWindow);

    QScrollArea* scrollArea;
    ViewerPicture* pictureView;
    QMenu* popupMenu;
    // The menu item of the viewer's command table named name.
    QAction* action(const char* name) const;
    // Shows another picture, the window fitted to it.
    void showContent(const ViewerContent& content);

protected:
    // The viewer's keys, before the scroll area takes the arrows.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeOn(const QScreen& screen, const QWidget* mainWindow, const ViewerContent& content);
    void toggleFullScreen();

    CommandRunner& commands_;
    QWidget* mainWindow_;
    ViewerContent content_;
};

}  // namespace velmora
