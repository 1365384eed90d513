// Desktops whose wallpaper is one command of their own: the file managers that draw
// the LXQt and LXDE desktops, and sway's IPC client.
#include <cctype>
#include <cstdio>

#include <unistd.h>

#include "platform/foreign_syntax.h"
#include "platform/posix_file.h"
#include "platform/wallpaper_backends.h"
#include "platform/xdg_dirs.h"

namespace velmora::platform {
namespace {

bool isWord(const std::string& text) {
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.') return false;
    return !text.empty();
}

// The file's extension (".bmp") where it is a plain word, else "".
std::string extension(const std::string& file) {
    const std::size_t dot = file.rfind('.'), slash = file.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return isWord(file.substr(dot + 1)) ? file.substr(dot) : "";
}

// The name sway is given for the file. sway reads the path in its command by rules
// of its own (its words joined by one blank, $variables of its config expanded), so
// a path it would change goes over as a link under Velmora's own folder, one per
// output, replaced at each change. Nothing when no such link can be made.
std::optional<std::string> swayFileName(const std::string& output, const std::string& file,
                                        const DesktopServices& services) {
    if (foreignTextProblem(ForeignSyntax::SwayCommand, "", file).empty()) return file;
    const std::string folder = xdgDataHome() + "/velmora/sway";
    const std::string link = folder + "/" + (output == "*" ? "all" : output) + extension(file);
    std::string problem = foreignTextProblem(ForeignSyntax::SwayCommand, "the path of Velmora's own folder", link);
    const std::string made = link + ".new";
    ::unlink(made.c_str());
    if (problem.empty() && (makeDirectories(folder) != 0 || ::symlink(file.c_str(), made.c_str()) != 0 ||
                            std::rename(made.c_str(), link.c_str()) != 0))
        problem = "cannot make the link " + link + " for sway";
    if (problem.empty()) return link;
    if (services.report) services.report("velmora: " + problem);
    return std::nullopt;
}

bool runInstalled(const DesktopServices& services, const std::vector<std::string>& argv) {
    return services.programOnPath(argv[0]) && services.run(argv);
}

// sway splits its command at blanks outside double quotes, then expands the path
// like a shell word, which single quotes keep as it is (the path holds no quotes:
// swayFileName).
std::string swayPathArgument(const std::string& path) { return "\"'" + path + "'\""; }

// pcmanfm's --wallpaper-mode names; pcmanfm-qt calls fill "zoom" and has no span.
std::string pcmanfmMode(FitMode mode, bool qt) {
    switch (mode) {
    case FitMode::Fill: return qt ? "zoom" : "crop";
    case FitMode::Fit: return "fit";
    case FitMode::Stretch: return "stretch";
    case FitMode::Center: return "center";
    case FitMode::Tile: return "tile";
    case FitMode::Span: return qt ? "zoom" : "screen";
    }
    return "fit";
}

bool setPcmanfmWallpaper(const char* program, const std::string& file, const DesktopServices& services,
                         std::optional<FitMode> fit) {
    std::vector<std::string> argv{program, "--set-wallpaper", file};
    if (fit) argv.push_back("--wallpaper-mode=" + pcmanfmMode(*fit, std::string(program) == "pcmanfm-qt"));
    return runInstalled(services, argv);
}

const char* swayMode(std::optional<FitMode> fit) {
    switch (fit.value_or(FitMode::Fill)) {
    case FitMode::Fit: return "fit";
    case FitMode::Stretch: return "stretch";
    case FitMode::Center: return "center";
    case FitMode::Tile: return "tile";
    case FitMode::Fill:
    case FitMode::Span: break;
    }
    return "fill";
}

}  // namespace

bool setLxqtWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    return setPcmanfmWallpaper("pcmanfm-qt", file, services, fit);
}

bool setLxdeWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    return setPcmanfmWallpaper("pcmanfm", file, services, fit);
}

bool setSwayWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    return setSwayOutputWallpaper("*", file, services, fit);
}

bool setSwayOutputWallpaper(const std::string& output, const std::string& file, const DesktopServices& services,
                            std::optional<FitMode> fit) {
    // An output's name is a word of sway's own ("HDMI-A-1"); anything else is not sent.
    if (output != "*" && !isWord(output)) return false;
    if (!services.programOnPath("swaymsg")) return false;
    const std::optional<std::string> name = swayFileName(output, file, services);
    return name && services.run({"swaymsg", "output", output, "bg", swayPathArgument(*name), swayMode(fit)});
}

}  // namespace velmora::platform
