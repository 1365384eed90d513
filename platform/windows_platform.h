#pragma once
// The platform services of Windows itself, owned together: the user's registry,
// the file system and the desktop.

#include "platform/desktop_win32.h"
#include "platform/files_win32.h"
#include "platform/platform.h"
#include "platform/registry_win32.h"

namespace velmora::platform {

class WindowsPlatform {
public:
    WindowsPlatform() = default;
    WindowsPlatform(const WindowsPlatform&) = delete;
    WindowsPlatform& operator=(const WindowsPlatform&) = delete;

    Platform platform() { return Platform{registry_, files_, desktop_, &wallpaperLock_}; }
    WindowsRegistry& registry() { return registry_; }
    WindowsFiles& files() { return files_; }
    WindowsDesktop& desktop() { return desktop_; }

private:
    WindowsRegistry registry_;
    WindowsFiles files_;
    WindowsDesktop desktop_;
    UserChangeLock wallpaperLock_{"wallpaper"};
};

}  // namespace velmora::platform
