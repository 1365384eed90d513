#include "app/wallpaper_cli.h"

#include <cstdio>
#include <string>
#include <vector>

#include "base/error.h"
#include "platform/linux_platform.h"
#include "platform/message_text.h"
#include "wallpaper/wallpaper_rotation.h"

namespace velmora {
namespace {

const char* const kDefaultFile = "pictures.vlm";

int fail(const std::string& message, int status) {
    std::fprintf(stderr, "velmora: %s\n", message.c_str());
    return status;
}

}  // namespace

std::optional<int> runWallpaperCommandLine(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    const std::string option = argv[1];
    const std::vector<std::string> operands(argv + 2, argv + argc);
    std::optional<std::string> name;
    std::string file = kDefaultFile;
    if (option == "--set-wallpaper") {
        if (operands.empty() || operands.size() > 2)
            return fail("usage: velmora --set-wallpaper NAME [FILE.vlm]", 2);
        name = operands[0];
        if (operands.size() == 2) file = operands[1];
    } else if (option == "--next-wallpaper") {
        if (operands.size() > 1) return fail("usage: velmora --next-wallpaper [FILE.vlm]", 2);
        if (operands.size() == 1) file = operands[0];
    } else {
        return std::nullopt;
    }

    platform::LinuxPlatform linuxPlatform;
    try {
        setWallpaperFromFile(file, name, linuxPlatform.platform());
    } catch (const std::exception& e) {
        return fail(platform::withClosingFullStop(e.what()), 1);
    }
    // The desktop has said on standard error which backend it used and how it went.
    return linuxPlatform.desktop().wallpaperApplied() ? 0 : 1;
}

}  // namespace velmora
