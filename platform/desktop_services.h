#pragma once
// Everything the Linux desktop reaches outside the process for, as replaceable
// functions: the environment, helper programs, the X server, standard error.
// DesktopServices::system() gives the real ones; tests record them instead.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/wallpaper_layout.h"
#include "platform/wallpaper_pixels.h"

namespace velmora::platform {

struct DesktopServices {
    std::function<std::string(const char* name)> environment;  // "" when unset
    std::function<bool(const std::string& name)> programOnPath;
    std::function<bool(const std::vector<std::string>& argv)> run;  // bounded in time
    // The standard output of a program that ended well within the time limit;
    // nothing when it failed, timed out or could not start. Unset: no program runs.
    std::function<std::optional<std::string>(const std::vector<std::string>& argv)> capture;
    // Makes the picture file the background of the X root window in the fit mode
    // (root_background_x11.h), drawn from `pixels` where they are given.
    std::function<bool(const std::string& file, std::optional<FitMode> fit, const WallpaperPixels& pixels)>
        setRootBackground;
    // The same with files[i] drawn into areas[i] of the root window.
    std::function<bool(const std::vector<std::string>& files, const std::vector<PixelRect>& areas,
                       std::optional<FitMode> fit)>
        setRootBackgroundAreas;
    // One line for whoever troubleshoots: which desktop took the wallpaper.
    std::function<void(const std::string& line)> report;
    std::function<bool()> requestShowDesktop;
    std::function<void(unsigned milliseconds)> sleep;
    // Opens a web address or file URL; the browser plugs in QDesktopServices. Unset,
    // shellExecute() fails.
    std::function<bool(const std::string& url)> openUrl;

    // The real ones; each helper program may take at most `timeout`.
    static DesktopServices system(std::chrono::milliseconds timeout = std::chrono::seconds(3));

    // capture(), or nothing when it is unset or the program is not installed.
    std::optional<std::string> output(const std::vector<std::string>& argv) const;
};

}  // namespace velmora::platform
