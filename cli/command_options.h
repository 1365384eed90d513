#pragma once
// The options every velmora program reads the same way, with or without a window:
// help, version and the wallpaper options. Plain C++, shared by velmora.exe
// (command_line_win32.h) and the Linux program (command_line_linux.h).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/language.h"

namespace velmora {

inline constexpr const char* kDefaultCollection = "pictures.vlm";

bool isHelpOption(std::string_view arg);
bool isVersionOption(std::string_view arg);

// --language zh|en or --language=zh|en at args[at]: true when it is that option, with at
// moved onto its last argument and language set, or error set when the value is missing
// or neither code.
bool readLanguageOption(const std::vector<std::string_view>& args, std::size_t& at, std::optional<Language>& language,
                        std::string& error);

// True when a wallpaper option comes before any "--": it then owns the whole command
// line, its arguments are its to read.
bool asksForWallpaper(const std::vector<std::string_view>& args);

enum class WallpaperAction {
    None,            // only settings
    SetNamed,        // --set-wallpaper NAME [FILE.vlm]
    Next,            // --next-wallpaper [FILE.vlm]
    Previous,        // --previous-wallpaper [FILE.vlm]
    RotateEvery,     // --rotate-every DURATION|off [FILE.vlm]
    PauseRotation,   // --pause-rotation
    ResumeRotation,  // --resume-rotation
    LeaveOut,        // --leave-out NAME [FILE.vlm]
    PutBack,         // --put-back NAME [FILE.vlm]
};

// Settings the command line chose, each as given (already checked); nothing when not given.
struct WallpaperSettingOptions {
    std::optional<std::string> fit;         // fill|fit|stretch|center|tile|span|desktop
    std::optional<std::string> perMonitor;  // on|off
    std::optional<std::string> order;       // in-turn|shuffle
    std::optional<std::string> lockScreen;  // same|off
    bool any() const { return fit || perMonitor || order || lockScreen; }
};

struct WallpaperOptions {
    bool given = false;                // the first argument is a wallpaper option
    WallpaperAction action = WallpaperAction::None;
    std::optional<std::string> name;   // --set-wallpaper, --leave-out, --put-back NAME
    std::optional<int> rotateMinutes;  // --rotate-every: none for "off"
    std::string file = kDefaultCollection;
    WallpaperSettingOptions settings;
    std::string usageError;            // the option's usage line when its operands are wrong
};

// Reads the arguments after the program name: any of the settings
//   --fit MODE --per-monitor on|off --order in-turn|shuffle --lock-screen same|off
// and at most one of the actions above, with its operands.
WallpaperOptions parseWallpaperOptions(const std::vector<std::string>& arguments);

// --check FILE.vlm | --backup FILE.vlm DEST.vlm | --add COLLECTION PICTURE... |
// --copy-collection SOURCE DEST: they too come first and own the line. A collection may
// be a file or a server address.
struct MaintenanceOptions {
    enum class Kind { None, Check, Backup, Add, CopyCollection };
    Kind kind = Kind::None;
    std::string file;
    std::string destination;            // --backup, --copy-collection
    std::vector<std::string> pictures;  // --add
    std::string usageError;   // the option's usage line when its operands are wrong
};

// True when one of them comes before any "--".
bool asksForMaintenance(const std::vector<std::string_view>& args);
// Reads the arguments after the program name; Kind::None when the first is neither.
MaintenanceOptions parseMaintenanceOptions(const std::vector<std::string>& arguments);
std::string maintenanceOptionsHelp(Language language = Language::English);
inline constexpr const char* kMaintenanceOptionsFirst =
    "--check, --backup, --add and --copy-collection come first";

// The help lines of the wallpaper options, of --language, and of help and version, in
// Chinese or English.
std::string wallpaperOptionsHelp(Language language = Language::English);
std::string languageOptionHelp(Language language = Language::English);
std::string generalOptionsHelp(Language language = Language::English);

// "velmora <version>\n".
std::string versionText();

// What a wrong command line prints before exiting with status 2.
std::string invalidCommandLineText(const std::string& error);
// The error of a wallpaper option that is not the first argument.
inline constexpr const char* kWallpaperOptionsFirst = "--set-wallpaper and --next-wallpaper come first";

}  // namespace velmora
