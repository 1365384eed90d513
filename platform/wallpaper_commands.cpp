// Desktops whose wallpaper is one command of their own: the file managers that draw
// the LXQt and LXDE desktops, and sway's IPC client.
#include "platform/wallpaper_backends.h"

namespace velmora::platform {
namespace {

bool runInstalled(const DesktopServices& services, const std::vector<std::string>& argv) {
    return services.programOnPath(argv[0]) && services.run(argv);
}

// sway splits its command at blanks outside double quotes, then expands the path
// like a shell word: single quotes keep everything, a single quote is closed and
// reopened around an escaped one, and a double quote around an escaped one so it
// does not end sway's own quotes.
std::string swayPathArgument(const std::string& path) {
    std::string word = "\"'";
    for (char c : path) {
        if (c == '\'') {
            word += "'\\''";
        } else if (c == '"') {
            word += "'\\\"'";
        } else {
            word += c;
        }
    }
    return word + "'\"";
}

// pcmanfm's --wallpaper-mode names; pcmanfm-qt calls fill "zoom" and has no span.
std::string pcmanfmMode(FitMode mode, bool qt) {
    switch (mode) {
    case FitMode::Fill: return qt ? "zoom" : "crop";
    case FitMode::Fit: return "fit";
    case FitMode::Stretch: return "stretch";
    case FitMode::Center: return "center";
    case FitMode::Tile: return "tile";
    case FitMode::Span: return qt ? "zoom" : "screen";
    }
    return "fit";
}

bool setPcmanfmWallpaper(const char* program, const std::string& file, const DesktopServices& services,
                         std::optional<FitMode> fit) {
    std::vector<std::string> argv{program, "--set-wallpaper", file};
    if (fit) argv.push_back("--wallpaper-mode=" + pcmanfmMode(*fit, std::string(program) == "pcmanfm-qt"));
    return runInstalled(services, argv);
}

const char* swayMode(std::optional<FitMode> fit) {
    switch (fit.value_or(FitMode::Fill)) {
    case FitMode::Fit: return "fit";
    case FitMode::Stretch: return "stretch";
    case FitMode::Center: return "center";
    case FitMode::Tile: return "tile";
    case FitMode::Fill:
    case FitMode::Span: break;
    }
    return "fill";
}

}  // namespace

bool setLxqtWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    return setPcmanfmWallpaper("pcmanfm-qt", file, services, fit);
}

bool setLxdeWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    return setPcmanfmWallpaper("pcmanfm", file, services, fit);
}

bool setSwayWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    return setSwayOutputWallpaper("*", file, services, fit);
}

bool setSwayOutputWallpaper(const std::string& output, const std::string& file, const DesktopServices& services,
                            std::optional<FitMode> fit) {
    // An output's name is a word of sway's own ("HDMI-A-1"); anything else is not sent.
    if (output.empty() || output.find_first_of(" \t\"';,") != std::string::npos) return false;
    return runInstalled(services, {"swaymsg", "output", output, "bg", swayPathArgument(file), swayMode(fit)});
}

}  // namespace velmora::platform
