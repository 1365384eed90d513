#pragma once
// The monitors of Windows that can each show their own wallpaper, through the shell's
// IDesktopWallpaper (Windows 8 on): where it is absent (older systems, Wine) there
// are none, and one picture goes everywhere.

#include <string>
#include <vector>

#include "platform/wallpaper_layout.h"

namespace velmora::platform {

struct WallpaperMonitor {
    Monitor monitor;  // name: the monitor's device path
    std::wstring id;  // IDesktopWallpaper's monitor id
};

// Attached monitors, the primary one (at 0,0 of the virtual screen) first.
std::vector<WallpaperMonitor> wallpaperMonitors();
// IDesktopWallpaper::SetWallpaper(id, path); false when it failed or is absent.
bool setMonitorWallpaper(const std::wstring& id, const std::wstring& path);

}  // namespace velmora::platform
