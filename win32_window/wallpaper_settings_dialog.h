#pragma once
// The wallpaper settings dialog (壁纸设置) from an in-memory template, as the Qt
// window's (qt_window/wallpaper_settings_dialog.*): fit mode, a picture per monitor,
// rotation with its interval, order and pause, the lock screen, and the current
// picture left out of rotation. Modal until
// request.accept() takes the choice or the user cancels.
#include <windows.h>

#include "browser/browser_view.h"

namespace velmora::win32 {

// Its controls are kWallpaper*Id of control_ids.h.
void runWallpaperSettingsDialog(HWND owner, const WallpaperSettingsRequest& request);

}  // namespace velmora::win32
