#include "cli/command_line_win32.h"

#include <ostream>
#include <string_view>

#include <windows.h>

#include "cli/maintenance_cli.h"
#include "cli/wallpaper_cli_win32.h"
#include "cli/wallpaper_run.h"
#include "platform/rotation_timer_win32.h"
#include "wallpaper/registry_settings.h"
#include "wallpaper/wallpaper_settings.h"

namespace velmora {
namespace {

WindowsCommandLine usage(const std::string& text) {
    WindowsCommandLine command;
    command.problem = text;
    return command;
}

WindowsCommandLine wallpaperCommand(const std::vector<std::string>& arguments) {
    const WallpaperOptions options = parseWallpaperOptions(arguments);
    if (!options.given) return usage(invalidCommandLineText(kWallpaperOptionsFirst));
    if (!options.usageError.empty()) return usage("velmora: " + options.usageError + "\n");
    WindowsCommandLine command;
    const bool plain = !options.settings.any();
    command.action = plain && options.action == WallpaperAction::SetNamed ? WindowsAction::SetWallpaper
                     : plain && options.action == WallpaperAction::Next   ? WindowsAction::NextWallpaper
                                                                          : WindowsAction::OtherWallpaper;
    command.name = options.name.value_or("");
    command.collection = options.file;
    command.wallpaper = options;
    return command;
}

}  // namespace

WindowsCommandLine parseWindowsCommandLine(const std::vector<std::string>& arguments) {
    const std::vector<std::string_view> args(arguments.begin(), arguments.end());
    if (asksForWallpaper(args)) return wallpaperCommand(arguments);
    if (asksForMaintenance(args)) {
        WindowsCommandLine command;
        command.action = WindowsAction::Maintenance;
        command.maintenance = parseMaintenanceOptions(arguments);
        return command;
    }
    WindowsCommandLine window;
    window.action = WindowsAction::Window;
    bool optionsEnded = false;
    for (std::size_t at = 0; at < args.size(); ++at) {
        const std::string_view arg = args[at];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg.empty() || arg.front() != '-' || arg == "-") {
            if (window.startFile || window.userCollection)
                return usage(invalidCommandLineText("the window opens one file"));
            window.startFile = std::string(arg);
            continue;
        }
        if (arg == "--user-collection") {
            if (window.startFile) return usage(invalidCommandLineText("the window opens one file"));
            window.userCollection = true;
            continue;
        }
        if (std::string error; readLanguageOption(args, at, window.language, error)) {
            if (!error.empty()) return usage(invalidCommandLineText(error));
            continue;
        }
        WindowsCommandLine command;
        if (isHelpOption(arg)) {
            command.action = WindowsAction::Help;
            command.language = window.language;
            return command;
        }
        if (isVersionOption(arg)) {
            command.action = WindowsAction::Version;
            return command;
        }
        return usage(invalidCommandLineText("unknown option '" + std::string(arg) + "'"));
    }
    return window;
}

std::string consoleHelpText(Language language) {
    if (language == Language::Chinese) {
        return "用法：velmora [FILE.vlm | --user-collection]\n"
               "      velmora OPTION\n"
               "不带选项时打开图片库窗口：FILE.vlm，当前文件夹中的 pictures.vlm，或者带 --user-collection 时\n"
               "%APPDATA%\\Velmora\\pictures.vlm（第一次时建一个空的）。各选项把图片库中的图片设为桌面壁纸，\n"
               "检查和备份图片库。\n"
               "\n"
               "选项：\n" +
               languageOptionHelp(language) + wallpaperOptionsHelp(language) + maintenanceOptionsHelp(language) +
               generalOptionsHelp(language) +
               "\n"
               "不给 FILE.vlm 时为当前文件夹中的 pictures.vlm。\n"
               "退出状态：0 完成，1 壁纸未能设置、检查发现问题或备份失败，2 选项错误。\n";
    }
    return "Usage: velmora [FILE.vlm | --user-collection]\n"
           "       velmora OPTION\n"
           "Without an option, the picture collection window: on FILE.vlm, on pictures.vlm in the\n"
           "current folder, or with --user-collection on %APPDATA%\\Velmora\\pictures.vlm (made empty\n"
           "the first time). The options make a picture of a collection the desktop wallpaper, check\n"
           "and back up collections.\n"
           "\n"
           "Options:\n" +
           languageOptionHelp() + wallpaperOptionsHelp() + maintenanceOptionsHelp() + generalOptionsHelp() +
           "\n"
           "FILE.vlm is pictures.vlm in the current folder when not given.\n"
           "Exit status: 0 done, 1 the wallpaper could not be set, the check found problems or the\n"
           "backup failed, 2 wrong options.\n";
}

int runWindowsCommandLine(const WindowsCommandLine& command, const platform::Platform& platform, std::ostream& out,
                      std::ostream& err) {
    platform::TaskSchedulerTimer timer(thisWindowsProgram());
    return runWindowsCommandLine(command, platform, timer, out, err);
}

int runWindowsCommandLine(const WindowsCommandLine& command, const platform::Platform& platform, platform::RotationTimer& timer,
                      std::ostream& out, std::ostream& err) {
    switch (command.action) {
    case WindowsAction::Help: out << consoleHelpText(command.language.value_or(Language::English)); return kExitSuccess;
    case WindowsAction::Version: out << versionText(); return kExitSuccess;
    case WindowsAction::Usage: err << command.problem; return kExitUsage;
    case WindowsAction::Window: err << invalidCommandLineText("the window is not part of this program"); return kExitUsage;
    case WindowsAction::Maintenance: return runMaintenance(command.maintenance, out, err);
    default: break;
    }
    RegistrySettings settings(platform.registry, platform.files, wallpaperSettingNames());
    WallpaperRunServices services{platform, settings, timer, [] { return true; }, fullWindowsPath};
    return runWallpaperOptions(command.wallpaper, services, err) == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace velmora
