#include "windows/console_command.h"

#include <ostream>

#include "base/error.h"
#include "platform/message_text.h"
#include "windows/wallpaper_from_collection.h"

namespace velmora {

ConsoleCommand parseConsoleCommand(const std::vector<std::string>& arguments) {
    ConsoleCommand command;
    auto usage = [&](std::string problem) {
        command.action = ConsoleAction::Usage;
        command.problem = std::move(problem);
        return command;
    };
    if (arguments.empty()) return usage("this build has no window; give one of the options below");
    const std::string& option = arguments[0];
    const std::size_t extra = arguments.size() - 1;
    if (option == "--help" || option == "-h") {
        command.action = ConsoleAction::Help;
        return extra == 0 ? command : usage("--help takes no argument");
    }
    if (option == "--version") {
        command.action = ConsoleAction::Version;
        return extra == 0 ? command : usage("--version takes no argument");
    }
    if (option == "--set-wallpaper") {
        if (extra < 1 || extra > 2) return usage("--set-wallpaper needs NAME and at most one FILE.vlm");
        command.action = ConsoleAction::SetWallpaper;
        command.name = arguments[1];
        if (extra == 2) command.collection = arguments[2];
        return command;
    }
    if (option == "--next-wallpaper") {
        if (extra > 1) return usage("--next-wallpaper takes at most one FILE.vlm");
        command.action = ConsoleAction::NextWallpaper;
        if (extra == 1) command.collection = arguments[1];
        return command;
    }
    return usage("unknown option '" + option + "'");
}

std::string consoleHelpText() {
    return "Usage: velmora OPTION\n"
           "Makes a picture of a Velmora collection the desktop wallpaper.\n"
           "This Windows build has no window yet: it offers the options below.\n"
           "\n"
           "  --set-wallpaper NAME [FILE.vlm]  the picture named NAME becomes the wallpaper\n"
           "  --next-wallpaper [FILE.vlm]      the picture after the current wallpaper becomes\n"
           "                                   the wallpaper (the first one after the last)\n"
           "  --help                           show this help and exit\n"
           "  --version                        show the version and exit\n"
           "\n"
           "FILE.vlm is pictures.vlm in the current folder when not given.\n"
           "Exit status: 0 done, 1 the wallpaper could not be set, 2 wrong options.\n";
}

int runConsoleCommand(const ConsoleCommand& command, const platform::Platform& platform, std::ostream& out,
                      std::ostream& err) {
    try {
        switch (command.action) {
        case ConsoleAction::Help: out << consoleHelpText(); return kExitSuccess;
        case ConsoleAction::Version: out << "velmora " << VELMORA_VERSION << "\n"; return kExitSuccess;
        case ConsoleAction::Usage:
            err << "velmora: " << command.problem << "\n\n" << consoleHelpText();
            return kExitUsage;
        case ConsoleAction::SetWallpaper:
            setWallpaperByName(command.collection, command.name, platform);
            return kExitSuccess;
        case ConsoleAction::NextWallpaper:
            setNextWallpaper(command.collection, platform);
            return kExitSuccess;
        }
    } catch (const std::exception& error) {
        err << "velmora: " << platform::withClosingFullStop(error.what()) << "\n";
    }
    return kExitFailure;
}

}  // namespace velmora
