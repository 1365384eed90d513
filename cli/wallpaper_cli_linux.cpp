#include "cli/wallpaper_cli_linux.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_options.h"
#include "cli/wallpaper_run.h"
#include "platform/linux_platform.h"

namespace velmora {
namespace {

int fail(const std::string& message, int status) {
    std::fprintf(stderr, "velmora: %s\n", message.c_str());
    return status;
}

std::string thisProgram() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("velmora") : self.string();
}

std::string absolutePath(const std::string& path) {
    return std::filesystem::absolute(path).lexically_normal().string();
}

}  // namespace

SystemWallpaperSettings::SystemWallpaperSettings()
    : timer_(thisProgram(), platform::DesktopServices::system()), services_{file_, timer_, absolutePath} {}

std::optional<int> runWallpaperCommandLine(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    const WallpaperOptions options = parseWallpaperOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.given) return std::nullopt;
    if (!options.usageError.empty()) return fail(options.usageError, 2);

    platform::LinuxPlatform linuxPlatform;
    const platform::Platform system = linuxPlatform.platform();
    SystemWallpaperSettings settings;
    WallpaperRunServices services{system, settings.services().store, settings.services().timer,
                                  [&linuxPlatform] { return linuxPlatform.desktop().wallpaperApplied(); },
                                  absolutePath};
    std::cerr.flush();
    return runWallpaperOptions(options, services, std::cerr);
}

}  // namespace velmora
