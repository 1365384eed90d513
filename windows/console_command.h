#pragma once
// The options of velmora.exe, the Windows program without a window:
//   velmora --help | --version
//   velmora --set-wallpaper NAME [FILE.vlm]
//   velmora --next-wallpaper [FILE.vlm]
// read by the rules of the Linux program (app/command_options.h). FILE.vlm defaults
// to pictures.vlm in the current folder.

#include <iosfwd>
#include <string>
#include <vector>

#include "app/command_options.h"
#include "platform/platform.h"

namespace velmora {

enum class ConsoleAction { Help, Version, SetWallpaper, NextWallpaper, Usage };

struct ConsoleCommand {
    ConsoleAction action = ConsoleAction::Usage;
    std::string name;  // --set-wallpaper
    std::string collection = kDefaultCollection;
    std::string problem;  // Usage: what goes to standard error
};

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// The arguments after the program name.
ConsoleCommand parseConsoleCommand(const std::vector<std::string>& arguments);

std::string consoleHelpText();

// Runs the command: help and version go to out, messages of failures to err.
// Returns the process exit code.
int runConsoleCommand(const ConsoleCommand& command, const platform::Platform& platform, std::ostream& out,
                      std::ostream& err);

}  // namespace velmora
