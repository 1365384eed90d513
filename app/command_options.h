#pragma once
// The options every velmora program reads the same way, with or without a window:
// help, version and the wallpaper options. Plain C++, so the Windows console
// program (windows/) shares it with the Linux program.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr const char* kDefaultCollection = "pictures.vlm";

bool isHelpOption(std::string_view arg);
bool isVersionOption(std::string_view arg);

// True when a wallpaper option comes before any "--": it then owns the whole command
// line, its arguments are its to read.
bool asksForWallpaper(const std::vector<std::string_view>& args);

struct WallpaperOptions {
    bool given = false;                // the first argument is a wallpaper option
    std::optional<std::string> name;   // --set-wallpaper NAME; none for --next-wallpaper
    std::string file = kDefaultCollection;
    std::string usageError;            // the option's usage line when its operands are wrong
};

// Reads the arguments after the program name:
//   --set-wallpaper NAME [FILE.vlm] | --next-wallpaper [FILE.vlm]
WallpaperOptions parseWallpaperOptions(const std::vector<std::string>& arguments);

// The help lines of the wallpaper options, and of help and version.
std::string wallpaperOptionsHelp();
std::string generalOptionsHelp();

// "velmora <version>\n".
std::string versionText();

// What a wrong command line prints before exiting with status 2.
std::string invalidCommandLineText(const std::string& error);
// The error of a wallpaper option that is not the first argument.
inline constexpr const char* kWallpaperOptionsFirst = "--set-wallpaper and --next-wallpaper come first";

}  // namespace velmora
