#include "windows/console_command.h"

#include <ostream>
#include <string_view>

#include "base/error.h"
#include "platform/message_text.h"
#include "wallpaper/wallpaper_rotation.h"

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
    command.action = options.name ? ConsoleAction::SetWallpaper : ConsoleAction::NextWallpaper;
    command.name = options.name.value_or("");
    command.collection = options.file;
    return command;
}

}  // namespace

ConsoleCommand parseConsoleCommand(const std::vector<std::string>& arguments) {
    const std::vector<std::string_view> args(arguments.begin(), arguments.end());
    if (asksForWallpaper(args)) return wallpaperCommand(arguments);
    for (std::string_view arg : args) {
        if (arg == "--") break;
        ConsoleCommand command;
        if (isHelpOption(arg)) {
            command.action = ConsoleAction::Help;
            return command;
        }
        if (isVersionOption(arg)) {
            command.action = ConsoleAction::Version;
            return command;
        }
        if (arg.size() > 1 && arg.front() == '-')
            return usage(invalidCommandLineText("unknown option '" + std::string(arg) + "'"));
    }
    return usage(invalidCommandLineText("this build has no window: give --set-wallpaper or --next-wallpaper"));
}

std::string consoleHelpText() {
    return "Usage: velmora OPTION\n"
           "Makes a picture of a Velmora collection the desktop wallpaper.\n"
           "This Windows build has no window yet: it offers the options below.\n"
           "\n"
           "Options:\n" +
           wallpaperOptionsHelp() + generalOptionsHelp() +
           "\n"
           "FILE.vlm is pictures.vlm in the current folder when not given.\n"
           "Exit status: 0 done, 1 the wallpaper could not be set, 2 wrong options.\n";
}

int runConsoleCommand(const ConsoleCommand& command, const platform::Platform& platform, std::ostream& out,
                      std::ostream& err) {
    try {
        switch (command.action) {
        case ConsoleAction::Help: out << consoleHelpText(); return kExitSuccess;
        case ConsoleAction::Version: out << versionText(); return kExitSuccess;
        case ConsoleAction::Usage: err << command.problem; return kExitUsage;
        case ConsoleAction::SetWallpaper:
            setWallpaperFromFile(command.collection, command.name, platform);
            return kExitSuccess;
        case ConsoleAction::NextWallpaper:
            setWallpaperFromFile(command.collection, std::nullopt, platform);
            return kExitSuccess;
        }
    } catch (const std::exception& error) {
        err << "velmora: " << platform::withClosingFullStop(error.what()) << "\n";
    }
    return kExitFailure;
}

}  // namespace velmora
