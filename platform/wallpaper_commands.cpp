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

}  // namespace

bool setLxqtWallpaper(const std::string& file, const DesktopServices& services) {
    return runInstalled(services, {"pcmanfm-qt", "--set-wallpaper", file});
}

bool setLxdeWallpaper(const std::string& file, const DesktopServices& services) {
    return runInstalled(services, {"pcmanfm", "--set-wallpaper", file});
}

bool setSwayWallpaper(const std::string& file, const DesktopServices& services) {
    return runInstalled(services, {"swaymsg", "output", "*", "bg", swayPathArgument(file), "fill"});
}

}  // namespace velmora::platform
