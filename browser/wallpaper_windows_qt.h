#pragma once
// The wallpaper command's windows: the main window, and the viewer in its variant.

#include <QDialog>
#include <QWidget>

#include "browser/message_boxes.h"
#include "wallpaper/wallpaper_windows.h"

namespace velmora {

class QtWallpaperWindows : public WallpaperWindows {
public:
    QtWallpaperWindows(QWidget& main, QDialog* viewer) : main_(main), viewer_(viewer) {}
    void showMessage(const std::string& text) override { showCondition(text); }
    void hideMainWindow() override { main_.hide(); }
    void hideAndCloseViewer() override {
        if (!viewer_) return;
        viewer_->hide();
        viewer_->reject();  // ends the viewer's modal display once the command returns
    }
    void showAndRaiseMainWindow() override {
        main_.show();
        main_.raise();
        main_.activateWindow();
    }

private:
    QWidget& main_;
    QDialog* viewer_;
};

}  // namespace velmora
