#pragma once
// Wallpaper from the command line, without the window:
//   velmora --set-wallpaper NAME [FILE.vlm]   the first record named NAME
//   velmora --next-wallpaper [FILE.vlm]       the record after the current wallpaper
// FILE.vlm defaults to pictures.vlm of the current directory.

#include <optional>

#include "platform/rotation_timer_linux.h"
#include "platform/settings_file_linux.h"
#include "wallpaper/wallpaper_settings_change.h"

namespace velmora {

// This user's wallpaper settings, as the command line and the window both keep them:
// the settings file, and the systemd user timer that runs this very program.
class SystemWallpaperSettings {
public:
    SystemWallpaperSettings();
    SystemWallpaperSettings(const SystemWallpaperSettings&) = delete;
    SystemWallpaperSettings& operator=(const SystemWallpaperSettings&) = delete;

    WallpaperSettingsServices& services() { return services_; }

private:
    platform::SettingsFile file_;
    platform::SystemdRotationTimer timer_;
    WallpaperSettingsServices services_;
};

// The exit status when the arguments ask for one of these (0 when the desktop took
// the wallpaper, 1 on any failure, 2 for wrong arguments), with what went wrong on
// standard error; nothing when they are not wallpaper options.
std::optional<int> runWallpaperCommandLine(int argc, char** argv);

}  // namespace velmora
