#pragma once
// The wallpaper settings as the settings dialog offers and changes them: read from the
// store the window keeps them in, turned into the dialog's choice and back, and saved
// with the timer steps the change needs, as the command line's options do.

#include <optional>
#include <string>

#include "browser/browser_view.h"
#include "wallpaper/wallpaper_settings.h"
#include "wallpaper/wallpaper_settings_change.h"

namespace velmora {

class WallpaperSettingsEditor {
public:
    // services null: the window keeps no settings.
    explicit WallpaperSettingsEditor(WallpaperSettingsServices* services) : services_(services) {}

    bool kept() const { return services_ != nullptr; }
    // The saved settings; raises what the store raises (and "This window keeps no wallpaper
    // settings" without one).
    WallpaperSettings saved() const;
    // What the dialog offers for these settings, the current picture's mark left out.
    static WallpaperSettingsChoice offer(const WallpaperSettings& saved);
    // The settings a choice makes of `before`; nullopt when its interval is not understood.
    static std::optional<WallpaperSettings> apply(const WallpaperSettings& before, const WallpaperSettingsChoice& choice);
    // Saves `after` and takes the timer there, as --rotate-every, --pause-rotation and
    // --resume-rotation do. Returns what the timer could not do ("" when everything was).
    std::string save(const WallpaperSettings& before, const WallpaperSettings& after, const std::string& collection);

private:
    WallpaperSettingsServices* services_;
};

}  // namespace velmora
