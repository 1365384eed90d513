#pragma once
// The platform services of this machine, owned together: the registry hive under
// $XDG_CONFIG_HOME, the drive folders under $XDG_DATA_HOME, the running desktop.

#include "platform/desktop_linux.h"
#include "platform/files_linux.h"
#include "platform/platform.h"
#include "platform/registry_linux.h"

namespace velmora::platform {

class LinuxPlatform {
public:
    LinuxPlatform() : desktop_(registry_) {}
    explicit LinuxPlatform(DesktopServices services) : desktop_(registry_, std::move(services)) {}
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    Platform platform() { return Platform{registry_, files_, desktop_, &wallpaperLock_}; }
    LinuxRegistry& registry() { return registry_; }
    LinuxFiles& files() { return files_; }
    LinuxDesktop& desktop() { return desktop_; }

private:
    LinuxRegistry registry_;
    LinuxFiles files_;
    LinuxDesktop desktop_;
    UserChangeLock wallpaperLock_{"wallpaper"};
};

}  // namespace velmora::platform
