#pragma once
// The desktop services on Windows itself: SystemParametersInfoW for the wallpaper,
// MapVirtualKeyA and keybd_event for the keystroke, Sleep, ShellExecuteW.

#include "platform/desktop.h"

namespace velmora::platform {

class WindowsDesktop : public Desktop {
public:
    bool setWallpaper(const std::string& path) override;
    unsigned mapVirtualKey(unsigned code, unsigned mapType) override;
    void keyboardEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                       std::uintptr_t extraInfo) override;
    void sleep(unsigned milliseconds) override;
    bool shellExecute(const std::string& verb, const std::string& file,
                      const std::string& parameters, unsigned showCommand) override;
};

// SystemParametersInfoW(SPI_GETDESKWALLPAPER): the wallpaper file the system holds.
std::string currentWallpaper();

}  // namespace velmora::platform
