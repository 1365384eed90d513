#pragma once
// The options of velmora.exe:
//   velmora [FILE.vlm]          the window, on FILE.vlm when given
//   velmora --user-collection   the window on the per-user collection (the Start menu's)
//   velmora --help | --version
//   velmora --set-wallpaper NAME [FILE.vlm]
//   velmora --next-wallpaper [FILE.vlm]
//   and the other wallpaper options and settings (--previous-wallpaper, --fit, ...)
//   velmora --check FILE.vlm | --backup FILE.vlm DEST.vlm
// read by the rules of the Linux program (cli/command_options.h). FILE.vlm defaults
// to pictures.vlm in the current folder.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_options.h"
#include "platform/platform.h"
#include "platform/rotation_timer.h"

namespace velmora {

enum class WindowsAction { Window, Help, Version, SetWallpaper, NextWallpaper, OtherWallpaper, Maintenance, Usage };

struct WindowsCommandLine {
    WindowsAction action = WindowsAction::Usage;
    std::string name;  // --set-wallpaper
    std::optional<std::string> startFile;  // Window: the file named on the command line
    bool userCollection = false;           // Window: in the per-user folder
    std::optional<Language> language;      // Window and Help: --language, or the language chosen at start
    std::string collection = kDefaultCollection;
    MaintenanceOptions maintenance;  // --check, --backup
    std::string problem;  // Usage: what goes to standard error
    WallpaperOptions wallpaper;  // every wallpaper action, settings included
};

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// The arguments after the program name.
WindowsCommandLine parseWindowsCommandLine(const std::vector<std::string>& arguments);

std::string consoleHelpText(Language language = Language::English);

// Runs the command: help and version go to out, messages of failures to err.
// Returns the process exit code. Window is the caller's to run: here it is a usage error.
// Settings go to HKCU\Software\Velmora\Wallpaper, the timer is a Task Scheduler task.
int runWindowsCommandLine(const WindowsCommandLine& command, const platform::Platform& platform, std::ostream& out,
                      std::ostream& err);
// The same with a timer of the caller's.
int runWindowsCommandLine(const WindowsCommandLine& command, const platform::Platform& platform, platform::RotationTimer& timer,
                      std::ostream& out, std::ostream& err);

}  // namespace velmora
