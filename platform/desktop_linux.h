#pragma once
// The desktop services on this machine. The wallpaper is kept as
// HKCU\Control Panel\Desktop "Wallpaper" (with a chosen fit mode, "WallpaperStyle"
// and "TileWallpaper", as on Windows) in the registry and handed to the running
// desktop through the backend of its family (wallpaper_backends.h), which is named
// on standard error; Win+M becomes the window manager's "show desktop" request.
// Everything reaching outside the process goes through DesktopServices, so tests
// can record it instead.

#include <string>

#include "platform/desktop.h"
#include "platform/desktop_services.h"
#include "platform/registry.h"

namespace velmora::platform {

class LinuxDesktop : public Desktop {
public:
    LinuxDesktop(Registry& registry, DesktopServices services = DesktopServices::system());

    bool setWallpaper(const std::string& path) override;
    void setWallpaperLayout(const WallpaperLayout& layout) override { layout_ = layout; }
    void setWallpaperPixels(WallpaperPixels pixels) override { pixels_ = std::move(pixels); }
    // RandR's monitors or sway's outputs, where the desktop can show a picture on each.
    std::vector<Monitor> monitors() override;
    unsigned mapVirtualKey(unsigned code, unsigned mapType) override;
    void keyboardEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                       std::uintptr_t extraInfo) override;
    void sleep(unsigned milliseconds) override;
    bool shellExecute(const std::string& verb, const std::string& file,
                      const std::string& parameters, unsigned showCommand) override;

    DesktopServices& services() { return services_; }
    // Whether the latest setWallpaper() reached the running desktop.
    bool wallpaperApplied() const { return wallpaperApplied_; }

private:
    bool rememberWallpaper(const std::string& path);
    bool applyToRunningDesktop(const std::string& file, const WallpaperPixels& pixels);

    Registry& registry_;
    DesktopServices services_;
    WallpaperLayout layout_;
    WallpaperPixels pixels_;
    bool windowsKeyDown_ = false;
    bool wallpaperApplied_ = false;
};

// "file:///..." for an absolute path of this machine, bytes outside the unreserved
// set percent-encoded.
std::string fileUri(const std::string& absolutePath);

}  // namespace velmora::platform
