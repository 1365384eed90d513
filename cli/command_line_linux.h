#pragma once
// The command line of velmora: what to do, read before any window or display is
// touched, so --help and --version work anywhere.

#include <optional>
#include <string>
#include <vector>

#include "cli/command_options.h"

namespace velmora {

struct CommandLine {
    enum class Action {
        Browse,     // open the main window
        Help,       // print helpText() and exit
        Version,    // print versionText() and exit
        Wallpaper,  // a wallpaper option: handled without the window
        Maintenance,  // --check or --backup: handled without the window
        Invalid,    // print error and exit with status 2
    };
    Action action = Action::Browse;
    // The collection to open instead of pictures.vlm of the current directory, made
    // absolute against the directory the program was started in.
    std::optional<std::string> file;
    // --user-collection: start in the per-user folder, with its own pictures.vlm.
    bool userCollection = false;
    // --language: the interface language of this run; none: the setting's or the system's.
    std::optional<Language> language;
    // For Action::Wallpaper: the program's arguments as given, for the wallpaper command.
    std::vector<std::string> wallpaperArguments;
    // For Action::Maintenance: the options read.
    MaintenanceOptions maintenance;
    std::string error;  // for Action::Invalid, without the program name
};

// Reads argv (argv[0] is the program). Options of Qt itself (-platform NAME, -style
// NAME, -reverse, ...) are skipped here and left to QApplication.
CommandLine parseCommandLine(int argc, const char* const* argv);

// The help of the program with a window; versionText() is in command_options.h.
std::string helpText(Language language = Language::English);

}  // namespace velmora
