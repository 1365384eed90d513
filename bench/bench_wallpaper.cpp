// Changing the wallpaper on a plain X11 screen (Xvfb, 1920 x 1080) to a 12 MP picture:
// `velmora --next-wallpaper` against `feh --bg-fill` on the same picture, each a whole
// process, taking turns; medians of their wall times and their peak resident memory.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/measure.h"
#include "bench/x_server.h"
#include "store/database/collection_file.h"
#include "tools/synthetic_picture.h"

namespace {

using velmora::bench::pointers;
using velmora::bench::report;

// Runs a program to its end with only the environment given, its output discarded;
// returns its peak resident memory in MiB.
double runProcess(std::vector<std::string> argv, std::vector<std::string> environment) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args = pointers(argv), env = pointers(environment);
    pid_t child = 0;
    if (posix_spawn(&child, args[0], &actions, nullptr, args.data(), env.data()) != 0) {
        std::fprintf(stderr, "cannot start %s\n", args[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", args[0]);
        std::exit(1);
    }
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::string onPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        std::size_t end = std::min(folders.find(':', start), folders.size());
        std::string candidate = folders.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return "";
}

}  // namespace

int main() {
    const std::string feh = onPath("feh");
    if (feh.empty() || access("/usr/bin/Xvfb", X_OK) != 0) {
        std::fprintf(stderr, "wallpaper: feh and Xvfb are needed (tools/deps.sh feh xvfb)\n");
        return 1;
    }
    namespace fs = std::filesystem;
    const fs::path scratch = velmora::bench::scratchDir("wallpaper");
    const std::string collection = (scratch / "pictures.vlm").string();
    const std::string picture = (scratch / "picture.jpg").string();
    const velmora::Bytes jpeg = velmora::tools::syntheticJpeg(4000, 3000);
    velmora::createCollection(collection, {{"first", jpeg}, {"second", jpeg}});
    std::ofstream(picture, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()),
                                                   static_cast<std::streamsize>(jpeg.size()));

    velmora::bench::XServer server("1920x1080x24");
    const std::string home = (scratch / "home").string();
    fs::create_directories(home);
    // A plain X11 session: no desktop named, so the root window is drawn.
    const std::vector<std::string> environment{"PATH=/usr/bin:/bin", "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config",
                                               "XDG_DATA_HOME=" + home + "/data", "DISPLAY=" + server.display()};
    std::vector<double> velmoraTimes, fehTimes;
    double velmoraPeak = 0, fehPeak = 0;
    for (int run = 0; run < 7; ++run) {
        velmora::bench::timeInTurn(
            run,
            [&] {
                velmoraPeak = std::max(velmoraPeak, runProcess({VELMORA_PROGRAM, "--next-wallpaper", collection}, environment));
            },
            velmoraTimes,
            [&] {
                fehPeak = std::max(fehPeak, runProcess({feh, "--no-fehbg", "--bg-fill", picture}, environment));
            },
            fehTimes);
    }
    const double velmoraMs = velmora::bench::median(velmoraTimes), fehMs = velmora::bench::median(fehTimes);
    report("wallpaper_change_ms", velmoraMs, "ms");
    report("feh_bg_fill_ms", fehMs, "ms");
    report("wallpaper_change_ratio", velmoraMs / fehMs, "x");
    report("feh_peak_mb", fehPeak, "MiB");
    report("wallpaper_change_peak_mb", velmoraPeak, "MiB");
    fs::remove_all(scratch);
    return 0;
}
