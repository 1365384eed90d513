#include "cli/command_options.h"

#include <algorithm>

#include "cli/velmora_version.h"

namespace velmora {

bool isHelpOption(std::string_view arg) { return arg == "-h" || arg == "--help"; }

bool isVersionOption(std::string_view arg) { return arg == "--version"; }

bool asksForMaintenance(const std::vector<std::string_view>& args) {
    const auto end = std::find(args.begin(), args.end(), "--");
    return std::any_of(args.begin(), end, [](std::string_view arg) { return arg == "--check" || arg == "--backup"; });
}

MaintenanceOptions parseMaintenanceOptions(const std::vector<std::string>& arguments) {
    MaintenanceOptions options;
    if (arguments.empty()) return options;
    const std::vector<std::string> operands(arguments.begin() + 1, arguments.end());
    if (arguments[0] == "--check") {
        options.kind = MaintenanceOptions::Kind::Check;
        if (operands.size() != 1) options.usageError = "usage: velmora --check FILE.vlm";
        else options.file = operands[0];
    } else if (arguments[0] == "--backup") {
        options.kind = MaintenanceOptions::Kind::Backup;
        if (operands.size() != 2) {
            options.usageError = "usage: velmora --backup FILE.vlm DEST.vlm";
        } else {
            options.file = operands[0];
            options.destination = operands[1];
        }
    }
    return options;
}

std::string maintenanceOptionsHelp() {
    return "  --check FILE.vlm   check the collection (the database and every picture's JPEG header)\n"
           "                     without changing it; exit status 0 when sound, 1 otherwise\n"
           "  --backup FILE.vlm DEST.vlm  copy the collection consistently, also while it is open\n"
           "                     in Velmora; DEST.vlm must not exist\n";
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
