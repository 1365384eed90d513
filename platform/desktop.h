#pragma once
// The desktop services of Win32: the wallpaper setting, synthetic keystrokes, the
// pause of the calling thread and the shell's "open".

#include <cstdint>
#include <string>
#include <vector>

#include "platform/wallpaper_layout.h"
#include "platform/wallpaper_pixels.h"

namespace velmora::platform {

constexpr std::uint8_t kVkLeftWindows = 0x5B;
constexpr std::uint8_t kVkM = 0x4D;
constexpr unsigned kMapVirtualKeyToScanCode = 0;
constexpr std::uint32_t kKeyEventKeyUp = 0x2;
constexpr unsigned kShowNormal = 1;

class Desktop {
public:
    virtual ~Desktop() = default;

    // SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, path, SPIF_UPDATEINIFILE): makes
    // the file at the Windows path the wallpaper and keeps the setting.
    virtual bool setWallpaper(const std::string& path) = 0;
    // How the following setWallpaper() calls lay the picture out. A desktop that
    // cannot follow a choice keeps its own.
    virtual void setWallpaperLayout(const WallpaperLayout&) {}
    // The pixels of the file that the next setWallpaper() names, for a desktop that draws
    // the picture itself instead of reading the file back; used by that call only.
    virtual void setWallpaperPixels(WallpaperPixels) {}
    // The monitors of a desktop that can show a picture on each (the first one is the
    // primary); none where it cannot, or they cannot be told.
    virtual std::vector<Monitor> monitors() { return {}; }
    // MapVirtualKey(code, mapType); 0 when there is no translation.
    virtual unsigned mapVirtualKey(unsigned code, unsigned mapType) = 0;
    // keybd_event: one key going down (flags 0) or up (kKeyEventKeyUp).
    virtual void keyboardEvent(std::uint8_t virtualKey, std::uint8_t scanCode,
                               std::uint32_t flags, std::uintptr_t extraInfo) = 0;
    // Sleep: blocks the calling thread.
    virtual void sleep(unsigned milliseconds) = 0;
    // ShellExecute(0, verb, file, parameters, 0, showCommand). "open" of
    // "Explorer.exe" with a web address as parameters opens that address.
    virtual bool shellExecute(const std::string& verb, const std::string& file,
                              const std::string& parameters, unsigned showCommand) = 0;
};

}  // namespace velmora::platform
