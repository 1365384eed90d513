#pragma once
// Runs the wallpaper options of either program (velmora and velmora.exe): saves the
// settings given, then runs the action, if any, with the settings in force.

#include <functional>
#include <iosfwd>

#include "cli/command_options.h"
#include "platform/platform.h"
#include "platform/rotation_timer.h"
#include "platform/settings_store.h"

namespace velmora {

namespace platform {
class Keyring;
}

struct WallpaperRunServices {
    const platform::Platform& platform;
    platform::SettingsStore& settings;
    platform::RotationTimer& timer;
    // Whether the latest wallpaper reached the running desktop (Linux tells; Windows takes it).
    std::function<bool()> desktopTookIt;
    // An absolute form of the collection path, for the timer.
    std::function<std::string(const std::string&)> absolutePath;
};

// 0 when everything asked was done, 1 when something failed (said on err, one line
// each, "velmora: " first). The options must be free of usage errors.
// A server collection's password may come from keyring (null: the system's; keyring_login.h).
int runWallpaperOptions(const WallpaperOptions& options, WallpaperRunServices& services, std::ostream& err,
                        platform::Keyring* keyring = nullptr);

}  // namespace velmora
