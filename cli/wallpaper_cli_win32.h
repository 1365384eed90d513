#pragma once
// This user's wallpaper settings as velmora.exe keeps them, for its command line and
// its window alike: REG_SZ values under HKCU\Software\Velmora\Wallpaper, and the Task
// Scheduler task that runs this very program.

#include <string>

#include "base/language.h"
#include "platform/platform.h"
#include "platform/rotation_timer_win32.h"
#include "wallpaper/registry_settings.h"
#include "wallpaper/wallpaper_settings_change.h"

namespace velmora {

// The path of the running velmora.exe ("velmora.exe" when it cannot be told).
std::string thisWindowsProgram();
// path made absolute against the current folder, as the system does it.
std::string fullWindowsPath(const std::string& path);

// Where velmora.exe keeps the interface language: "language" under HKCU\Software\Velmora.
inline RegistrySettings languageSettingOf(const platform::Platform& platform) {
    return RegistrySettings(platform.registry, platform.files, {kLanguageSettingName}, kProgramSettingsKey);
}

class WindowsWallpaperSettings {
public:
    explicit WindowsWallpaperSettings(const platform::Platform& platform);
    WindowsWallpaperSettings(const WindowsWallpaperSettings&) = delete;
    WindowsWallpaperSettings& operator=(const WindowsWallpaperSettings&) = delete;

    WallpaperSettingsServices& services() { return services_; }

private:
    RegistrySettings store_;
    platform::TaskSchedulerTimer timer_;
    WallpaperSettingsServices services_;
};

}  // namespace velmora
