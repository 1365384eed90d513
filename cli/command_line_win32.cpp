#include "cli/command_line_win32.h"

#include <ostream>
#include <string_view>

#include <windows.h>

#include "cli/maintenance_cli.h"
#include "cli/wallpaper_cli_win32.h"
#include "cli/wallpaper_run.h"
#include "platform/rotation_timer_win32.h"
#include "wallpaper/registry_settings.h"
#include "wallpaper/wallpaper_settings.h"

namespace velmora {
namespace {

ConsoleCommand usage(const std::string& text) {
    ConsoleCommand command;
    command.problem = text;
    return command;
}

ConsoleCommand wallpaperCommand(const std::vector<std::string>& arguments) {
    const WallpaperOptions options = parseWallpaperOptions(arguments);
    if (!options.given) return usage(invalidCommandLineText(kWallpaperOptionsFirst));
    if (!options.usageError.empty()) return usage("velmora: " + options.usageError + "\n");
    ConsoleCommand command;
    const bool plain = !options.settings.any();
    command.action = plain && options.action == WallpaperAction::SetNamed ? ConsoleAction::SetWallpaper
                     : plain && options.action == WallpaperAction::Next   ? ConsoleAction::NextWallpaper
                                                                          : ConsoleAction::OtherWallpaper;
    command.name = options.name.value_or("");
    command.collection = options.file;
    command.wallpaper = options;
    return command;
}

}  // namespace

ConsoleCommand parseConsoleCommand(const std::vector<std::string>& arguments) {
    const std::vector<std::string_view> args(arguments.begin(), arguments.end());
    if (asksForWallpaper(args)) return wallpaperCommand(arguments);
    if (asksForMaintenance(args)) {
        ConsoleCommand command;
        command.action = ConsoleAction::Maintenance;
        command.maintenance = parseMaintenanceOptions(arguments);
        return command;
    }
    ConsoleCommand window;
    window.action = ConsoleAction::Window;
    bool optionsEnded = false;
    for (std::string_view arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg.empty() || arg.front() != '-' || arg == "-") {
            if (window.startFile || window.userCollection)
                return usage(invalidCommandLineText("the window opens one file"));
            window.startFile = std::string(arg);
            continue;
        }
        if (arg == "--user-collection") {
            if (window.startFile) return usage(invalidCommandLineText("the window opens one file"));
            window.userCollection = true;
            continue;
        }
        ConsoleCommand command;
        if (isHelpOption(arg)) {
            command.action = ConsoleAction::Help;
            return command;
        }
        if (isVersionOption(arg)) {
            command.action = ConsoleAction::Version;
            return command;
        }
        return usage(invalidCommandLineText("unknown option '" + std::string(arg) + "'"));
    }
    return window;
}

std::string consoleHelpText() {
    return "Usage: velmora [FILE.vlm | --user-collection]\n"
           "       velmora OPTION\n"
           "Without an option, the picture collection window: on FILE.vlm, on pictures.vlm in the\n"
           "current folder, or with --user-collection on %APPDATA%\\Velmora\\pictures.vlm (made empty\n"
           "the first time). The options make a picture of a collection the desktop wallpaper, check\n"
           "and back up collections.\n"
           "\n"
           "Options:\n" +
           wallpaperOptionsHelp() + maintenanceOptionsHelp() + generalOptionsHelp() +
           "\n"
           "FILE.vlm is pictures.vlm in the current folder when not given.\n"
           "Exit status: 0 done, 1 the wallpaper could not be set, the check found problems or the\n"
           "backup failed, 2 wrong options.\n";
}

int runConsoleCommand(const ConsoleCommand& command, const platform::Platform& platform, std::ostream& out,
                      std::ostream& err) {
    platform::TaskSchedulerTimer timer(thisWindowsProgram());
    return runConsoleCommand(command, platform, timer, out, err);
}

int runConsoleCommand(const ConsoleCommand& command, const platform::Platform& platform, platform::RotationTimer& timer,
                      std::ostream& out, std::ostream& err) {
    switch (command.action) {
    case ConsoleAction::Help: out << consoleHelpText(); return kExitSuccess;
    case ConsoleAction::Version: out << versionText(); return kExitSuccess;
    case ConsoleAction::Usage: err << command.problem; return kExitUsage;
    case ConsoleAction::Window: err << invalidCommandLineText("the window is not part of this program"); return kExitUsage;
    case ConsoleAction::Maintenance: return runMaintenance(command.maintenance, out, err);
    default: break;
    }
    RegistrySettings settings(platform.registry, platform.files, wallpaperSettingNames());
    WallpaperRunServices services{platform, settings, timer, [] { return true; }, fullWindowsPath};
    return runWallpaperOptions(command.wallpaper, services, err) == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace velmora
