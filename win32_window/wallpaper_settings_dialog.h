#pragma once
// The wallpaper settings dialog (壁纸设置) from an in-memory template, as the Qt
// window's (qt_window/wallpaper_settings_dialog.*): fit mode, a picture per monitor,
// rotation with its interval, order and pause, the lock screen, and the current
// picture left out of rotation. Modal until
// request.accept() takes the choice or the user cancels.
#include <windows.h>

#include "browser/browser_view.h"

namespace velmora::win32 {

// Its controls; "确定" and "取消" are IDOK and IDCANCEL, so Enter and Esc work as usual.
inline constexpr int kFitModeId = 1401;     // combo box: the desktop's own, then the modes
inline constexpr int kPerMonitorId = 1402;  // check boxes
inline constexpr int kRotateId = 1403;
inline constexpr int kIntervalId = 1404;    // edit box
inline constexpr int kOrderId = 1405;       // combo box: in turn, shuffle
inline constexpr int kPausedId = 1406;
inline constexpr int kLockScreenId = 1407;
inline constexpr int kLeftOutId = 1408;     // the current picture; unavailable without one

void runWallpaperSettingsDialog(HWND owner, const WallpaperSettingsRequest& request);

}  // namespace velmora::win32
