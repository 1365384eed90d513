#pragma once
// How the wallpaper is laid out on the desktop, as the user chose it: the fit mode
// and whether the lock screen shows the same picture. A layout with nothing chosen
// leaves every desktop's own settings as they are.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// fill: scaled to cover, the overhang cut off; fit: scaled to fit inside, bars beside;
// stretch: to the screen's shape; center: at its own size in the middle; tile: at its
// own size repeated from the top left; span: one picture across every monitor.
enum class FitMode { Fill, Fit, Stretch, Center, Tile, Span };

inline constexpr FitMode kFitModes[] = {FitMode::Fill, FitMode::Fit,  FitMode::Stretch,
                                        FitMode::Center, FitMode::Tile, FitMode::Span};

// "fill", "fit", "stretch", "center", "tile", "span".
const char* fitModeName(FitMode mode);
std::optional<FitMode> parseFitMode(std::string_view name);

// HKCU\Control Panel\Desktop's REG_SZ values for a mode, as Windows reads them:
// WallpaperStyle 10 fill, 6 fit, 2 stretch, 0 centre or tile, 22 span; TileWallpaper 1 for tile.
struct WindowsWallpaperStyle {
    const char* style;
    const char* tile;
};
WindowsWallpaperStyle windowsWallpaperStyle(FitMode mode);

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

struct Monitor {
    std::string name;  // the output's name: "HDMI-1", "eDP-1"
    PixelRect rect;    // on the virtual screen; x and y may be negative
    bool operator==(const Monitor&) const = default;
};

struct WallpaperLayout {
    std::optional<FitMode> fit;  // none: the desktop's own mode stays
    bool lockScreen = false;     // the lock screen shows the same picture
    // The pictures (Windows paths) of the second and later monitors of Desktop::monitors(),
    // in its order; the first monitor shows the wallpaper. Empty: one picture everywhere.
    std::vector<std::string> monitorFiles;
};

}  // namespace velmora::platform
