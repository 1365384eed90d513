#pragma once
// The wallpaper settings dialog "壁纸设置": fit mode, a picture per monitor, rotation
// with its interval, order and pause, the lock screen, and whether the current picture
// is left out of rotation. It shows what the request
// holds; "确定" hands the choice to the core, which checks and saves it.

#include <QDialog>

#include "browser/browser_view.h"
#include "browser/wallpaper_settings_form.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace velmora {

class WallpaperSettingsDialog : public QDialog {
    Q_OBJECT

public:
    WallpaperSettingsDialog(const WallpaperSettingsRequest& request, QWidget* parent);

    QComboBox* fitBox;  // the desktop's own first, then the modes in FitMode's order
    QCheckBox* perMonitorBox;
    QCheckBox* rotateBox;
    QLineEdit* intervalEdit;
    QComboBox* orderBox;  // in turn, shuffle
    QCheckBox* pausedBox;
    QCheckBox* lockScreenBox;
    QCheckBox* leftOutBox;  // the current picture; unavailable without one
    QPushButton* okButton;
    QPushButton* cancelButton;

    // What the widgets hold now.
    WallpaperSettingsChoice choice() const;

private:
    void showFields(const WallpaperSettingsFields& fields);
    void updateRotation();

    WallpaperSettingsRequest request_;
    WallpaperSettingsForm form_;
};

}  // namespace velmora
