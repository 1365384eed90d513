#pragma once
// The wallpaper settings dialog's state, for every window: the saved choice as its
// controls hold it, which controls are available, and the choice they make. The
// window fills its lists from fitCaptions() and orderCaptions(), shows fields(), and
// hands what the controls hold to choice() when "确定" is pressed.

#include <string>
#include <vector>

#include "browser/browser_view.h"

namespace velmora {

// The dialog's controls as a window holds them.
struct WallpaperSettingsFields {
    int fit = 0;  // in fitCaptions(): the desktop's own, then the modes in FitMode's order
    bool perMonitor = false;
    bool rotate = false;
    std::string interval;
    int order = 0;  // in orderCaptions(): in turn, shuffle
    bool paused = false;
    bool lockScreen = false;
    bool leftOut = false;
    bool operator==(const WallpaperSettingsFields&) const = default;
};

class WallpaperSettingsForm {
public:
    explicit WallpaperSettingsForm(const WallpaperSettingsChoice& saved);

    static std::vector<const char*> fitCaptions();
    static std::vector<const char*> orderCaptions();

    // The saved choice, as the controls show it when the dialog opens.
    const WallpaperSettingsFields& fields() const { return fields_; }
    // The interval and the pause belong to a running rotation.
    static bool rotationFieldsAvailable(bool rotate) { return rotate; }
    // Left out of rotation is about the current picture: unavailable without one.
    bool leftOutAvailable() const { return leftOutAvailable_; }

    // What the controls hold, as a choice: paused only while rotating, left out only
    // with a current picture.
    WallpaperSettingsChoice choice(const WallpaperSettingsFields& shown) const;

private:
    WallpaperSettingsFields fields_;
    bool leftOutAvailable_;
};

}  // namespace velmora
