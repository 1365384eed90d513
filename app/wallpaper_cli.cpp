#include "app/wallpaper_cli.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_options.h"
#include "app/wallpaper_run.h"
#include "platform/linux_platform.h"
#include "platform/rotation_timer_linux.h"
#include "platform/settings_file_linux.h"

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

}  // namespace

std::optional<int> runWallpaperCommandLine(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    const WallpaperOptions options = parseWallpaperOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.given) return std::nullopt;
    if (!options.usageError.empty()) return fail(options.usageError, 2);

    platform::LinuxPlatform linuxPlatform;
    const platform::Platform system = linuxPlatform.platform();
    platform::SettingsFile settings;
    platform::SystemdRotationTimer timer(thisProgram(), platform::DesktopServices::system());
    WallpaperRunServices services{
        system, settings, timer, [&linuxPlatform] { return linuxPlatform.desktop().wallpaperApplied(); },
        [](const std::string& path) { return std::filesystem::absolute(path).lexically_normal().string(); }};
    std::cerr.flush();
    return runWallpaperOptions(options, services, std::cerr);
}

}  // namespace velmora
