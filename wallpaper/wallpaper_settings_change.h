#pragma once
// Changing the wallpaper settings, the same way from the command line and from the
// window's dialog: the rotation timer follows a new interval or a pause first, and the
// settings are saved with the timer's part only as far as the timer did it.

#include <functional>
#include <string>
#include <vector>

#include "platform/rotation_timer.h"
#include "platform/settings_store.h"
#include "wallpaper/wallpaper_settings.h"

namespace velmora {

// Where the settings are kept and the timer that rotates the wallpaper.
struct WallpaperSettingsServices {
    platform::SettingsStore& store;
    platform::RotationTimer& timer;
    // An absolute form of a collection path, for the timer.
    std::function<std::string(const std::string&)> absolutePath;
};

enum class TimerStep { Schedule, Cancel, Pause, Resume };

// What takes the timer from `before` to `after`: a changed interval is scheduled (or
// the timer cancelled), then a pause of a running rotation is made or taken back.
std::vector<TimerStep> timerStepsBetween(const WallpaperSettings& before, const WallpaperSettings& after);

// Runs the steps in order (Schedule: every after.rotateMinutes, for `collection`, a
// server address without its password) up
// to the first that fails, then saves `after`, its interval and pause as far as the
// steps got, when that differs from `before`. Returns "" or the failed step's problem.
// Raises the store's Error (nothing saved then).
std::string changeWallpaperSettings(WallpaperSettingsServices& services, const WallpaperSettings& before,
                                    const WallpaperSettings& after, const std::vector<TimerStep>& steps,
                                    const std::string& collection);

}  // namespace velmora
