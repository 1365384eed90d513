#include "app/command_options.h"

#include "app/velmora_version.h"

namespace velmora {

bool isHelpOption(std::string_view arg) { return arg == "-h" || arg == "--help"; }

bool isVersionOption(std::string_view arg) { return arg == "--version"; }

std::string generalOptionsHelp() {
    return "  -h, --help         show this help and exit\n"
           "      --version      show the version and exit\n";
}

std::string versionText() { return std::string("velmora ") + kVelmoraVersion + "\n"; }

std::string invalidCommandLineText(const std::string& error) {
    return "velmora: " + error + "\nTry 'velmora --help' for more information.\n";
}

}  // namespace velmora
