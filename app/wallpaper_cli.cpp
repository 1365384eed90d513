#include "app/wallpaper_cli.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_options.h"
#include "base/error.h"
#include "platform/linux_platform.h"
#include "platform/message_text.h"
#include "wallpaper/wallpaper_rotation.h"

namespace velmora {
namespace {

int fail(const std::string& message, int status) {
    std::fprintf(stderr, "velmora: %s\n", message.c_str());
    return status;
}

}  // namespace

std::optional<int> runWallpaperCommandLine(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    const WallpaperOptions options = parseWallpaperOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.given) return std::nullopt;
    if (!options.usageError.empty()) return fail(options.usageError, 2);

    platform::LinuxPlatform linuxPlatform;
    try {
        setWallpaperFromFile(options.file, options.name, linuxPlatform.platform());
    } catch (const std::exception& e) {
        return fail(platform::withClosingFullStop(e.what()), 1);
    }
    // The desktop has said on standard error which backend it used and how it went.
    return linuxPlatform.desktop().wallpaperApplied() ? 0 : 1;
}

}  // namespace velmora
