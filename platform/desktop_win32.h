#pragma once
// The desktop services on Windows itself: SystemParametersInfoW for the wallpaper
// (IDesktopWallpaper for a picture per monitor),
// MapVirtualKeyA and keybd_event for the keystroke, Sleep, ShellExecuteW.

#include "platform/desktop.h"

namespace velmora::platform {

class WindowsDesktop : public Desktop {
public:
    // With a fit mode chosen, WallpaperStyle and TileWallpaper of HKCU\Control Panel\Desktop
    // are written first: SystemParametersInfoW reads them when it applies the picture.
    bool setWallpaper(const std::string& path) override;
    // The per-monitor pictures go through IDesktopWallpaper after the call, where present.
    void setWallpaperLayout(const WallpaperLayout& layout) override { layout_ = layout; }
    std::vector<Monitor> monitors() override;
    unsigned mapVirtualKey(unsigned code, unsigned mapType) override;
    void keyboardEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                       std::uintptr_t extraInfo) override;
    void sleep(unsigned milliseconds) override;
    bool shellExecute(const std::string& verb, const std::string& file,
                      const std::string& parameters, unsigned showCommand) override;

private:
    WallpaperLayout layout_;
};

// SystemParametersInfoW(SPI_GETDESKWALLPAPER): the wallpaper file the system holds.
std::string currentWallpaper();

}  // namespace velmora::platform
