#include "platform/wallpaper_layout.h"

namespace velmora::platform {

const char* fitModeName(FitMode mode) {
    switch (mode) {
    case FitMode::Fill: return "fill";
    case FitMode::Fit: return "fit";
    case FitMode::Stretch: return "stretch";
    case FitMode::Center: return "center";
    case FitMode::Tile: return "tile";
    case FitMode::Span: return "span";
    }
    return "fill";
}

std::optional<FitMode> parseFitMode(std::string_view name) {
    for (FitMode mode : kFitModes)
        if (name == fitModeName(mode)) return mode;
    return std::nullopt;
}

WindowsWallpaperStyle windowsWallpaperStyle(FitMode mode) {
    switch (mode) {
    case FitMode::Fill: return {"10", "0"};
    case FitMode::Fit: return {"6", "0"};
    case FitMode::Stretch: return {"2", "0"};
    case FitMode::Center: return {"0", "0"};
    case FitMode::Tile: return {"0", "1"};
    case FitMode::Span: return {"22", "0"};
    }
    return {"10", "0"};
}

}  // namespace velmora::platform
