#include "app/command_options.h"

#include <algorithm>

#include "app/velmora_version.h"

namespace velmora {

bool isHelpOption(std::string_view arg) { return arg == "-h" || arg == "--help"; }

bool isVersionOption(std::string_view arg) { return arg == "--version"; }

namespace {

bool isWallpaperOption(std::string_view arg) { return arg == "--set-wallpaper" || arg == "--next-wallpaper"; }

}  // namespace

bool asksForWallpaper(const std::vector<std::string_view>& args) {
    const auto end = std::find(args.begin(), args.end(), "--");
    return std::any_of(args.begin(), end, isWallpaperOption);
}

WallpaperOptions parseWallpaperOptions(const std::vector<std::string>& arguments) {
    WallpaperOptions options;
    if (arguments.empty() || !isWallpaperOption(arguments[0])) return options;
    options.given = true;
    const std::vector<std::string> operands(arguments.begin() + 1, arguments.end());
    if (arguments[0] == "--set-wallpaper") {
        if (operands.empty() || operands.size() > 2) {
            options.usageError = "usage: velmora --set-wallpaper NAME [FILE.vlm]";
            return options;
        }
        options.name = operands[0];
        if (operands.size() == 2) options.file = operands[1];
    } else {
        if (operands.size() > 1) {
            options.usageError = "usage: velmora --next-wallpaper [FILE.vlm]";
            return options;
        }
        if (operands.size() == 1) options.file = operands[0];
    }
    return options;
}

std::string wallpaperOptionsHelp() {
    return "  --set-wallpaper NAME [FILE.vlm]  make the picture named NAME of the collection the desktop"
           " wallpaper, without opening the window\n"
           "  --next-wallpaper [FILE.vlm]  make the picture after the last wallpaper the desktop wallpaper"
           " (wraps round)\n";
}

std::string generalOptionsHelp() {
    return "  -h, --help         show this help and exit\n"
           "      --version      show the version and exit\n";
}

std::string versionText() { return std::string("velmora ") + kVelmoraVersion + "\n"; }

std::string invalidCommandLineText(const std::string& error) {
    return "velmora: " + error + "\nTry 'velmora --help' for more information.\n";
}

}  // namespace velmora
