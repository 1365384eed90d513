// The wallpaper options of both programs (command_options.h); apart from the rest so
// that tools which share help and version need not link the wallpaper layer.
#include <algorithm>
#include <array>

#include "cli/command_options.h"
#include "platform/wallpaper_layout.h"
#include "wallpaper/wallpaper_settings.h"

namespace velmora {
namespace {

struct ActionOption {
    std::string_view option;
    WallpaperAction action;
    bool takesName;  // a NAME (or DURATION) before the optional FILE.vlm
    bool takesFile;
    const char* usage;
};

constexpr std::array<ActionOption, 8> kActions = {{
    {"--set-wallpaper", WallpaperAction::SetNamed, true, true, "usage: velmora --set-wallpaper NAME [FILE.vlm]"},
    {"--next-wallpaper", WallpaperAction::Next, false, true, "usage: velmora --next-wallpaper [FILE.vlm]"},
    {"--previous-wallpaper", WallpaperAction::Previous, false, true, "usage: velmora --previous-wallpaper [FILE.vlm]"},
    {"--rotate-every", WallpaperAction::RotateEvery, true, true,
     "usage: velmora --rotate-every DURATION|off [FILE.vlm] (DURATION such as 30m, 2h, 1h30m)"},
    {"--pause-rotation", WallpaperAction::PauseRotation, false, false, "usage: velmora --pause-rotation"},
    {"--resume-rotation", WallpaperAction::ResumeRotation, false, false, "usage: velmora --resume-rotation"},
    {"--leave-out", WallpaperAction::LeaveOut, true, true, "usage: velmora --leave-out NAME [FILE.vlm]"},
    {"--put-back", WallpaperAction::PutBack, true, true, "usage: velmora --put-back NAME [FILE.vlm]"},
}};

struct SettingOption {
    std::string_view option;
    std::optional<std::string> WallpaperSettingOptions::*value;
    const char* usage;
};

const std::array<SettingOption, 4> kSettings = {{
    {"--fit", &WallpaperSettingOptions::fit, "usage: velmora --fit fill|fit|stretch|center|tile|span|desktop"},
    {"--per-monitor", &WallpaperSettingOptions::perMonitor, "usage: velmora --per-monitor on|off"},
    {"--order", &WallpaperSettingOptions::order, "usage: velmora --order in-turn|shuffle"},
    {"--lock-screen", &WallpaperSettingOptions::lockScreen, "usage: velmora --lock-screen same|off"},
}};

const ActionOption* actionOption(std::string_view arg) {
    auto found = std::find_if(kActions.begin(), kActions.end(), [arg](const ActionOption& a) { return a.option == arg; });
    return found == kActions.end() ? nullptr : &*found;
}

const SettingOption* settingOption(std::string_view arg) {
    auto found = std::find_if(kSettings.begin(), kSettings.end(), [arg](const SettingOption& s) { return s.option == arg; });
    return found == kSettings.end() ? nullptr : &*found;
}

bool isWallpaperOption(std::string_view arg) { return actionOption(arg) || settingOption(arg); }

bool validSetting(std::string_view option, const std::string& value) {
    if (option == "--fit") return value == "desktop" || platform::parseFitMode(value);
    if (option == "--per-monitor") return value == "on" || value == "off";
    if (option == "--order") return parseRotationOrder(value).has_value();
    return value == "same" || value == "off";
}

}  // namespace

bool asksForWallpaper(const std::vector<std::string_view>& args) {
    const auto end = std::find(args.begin(), args.end(), "--");
    return std::any_of(args.begin(), end, isWallpaperOption);
}

WallpaperOptions parseWallpaperOptions(const std::vector<std::string>& arguments) {
    WallpaperOptions options;
    if (arguments.empty() || !isWallpaperOption(arguments[0])) return options;
    options.given = true;
    for (std::size_t i = 0; i < arguments.size() && options.usageError.empty();) {
        const std::string& arg = arguments[i++];
        if (const SettingOption* setting = settingOption(arg)) {
            if (i >= arguments.size() || !validSetting(arg, arguments[i])) {
                options.usageError = setting->usage;
            } else {
                options.settings.*(setting->value) = arguments[i++];
            }
            continue;
        }
        const ActionOption* action = actionOption(arg);
        if (!action) {
            options.usageError = "unknown option '" + arg + "'";
            continue;
        }
        if (options.action != WallpaperAction::None) {
            options.usageError = "one action at a time: '" + arg + "' comes after another";
            continue;
        }
        options.action = action->action;
        // Operands run up to the next wallpaper option.
        std::vector<std::string> operands;
        while (i < arguments.size() && !isWallpaperOption(arguments[i])) operands.push_back(arguments[i++]);
        const std::size_t least = action->takesName ? 1 : 0;
        const std::size_t most = least + (action->takesFile ? 1 : 0);
        if (operands.size() < least || operands.size() > most) {
            options.usageError = action->usage;
            continue;
        }
        if (action->takesName) options.name = operands[0];
        if (operands.size() > least) options.file = operands[least];
        if (action->action == WallpaperAction::RotateEvery && operands[0] != "off") {
            options.rotateMinutes = parseDuration(operands[0]);
            if (!options.rotateMinutes) options.usageError = action->usage;
        }
    }
    return options;
}

std::string wallpaperOptionsHelp(Language language) {
    if (language == Language::Chinese) {
        return "  --set-wallpaper NAME [FILE.vlm]  把图片库中名为 NAME 的图片设为桌面壁纸，不打开窗口\n"
               "  --next-wallpaper [FILE.vlm]  把轮换中的下一张图片设为桌面壁纸（依次接在上一张壁纸之后，"
               "到末尾再从头开始，或随机）\n"
               "  --previous-wallpaper [FILE.vlm]  回到之前显示的图片\n"
               "  --rotate-every DURATION|off [FILE.vlm]  通过系统的计划程序（systemd 用户定时器；Windows 上为"
               "任务计划程序的任务）每隔 DURATION（30m、2h、1h30m）更换壁纸，或停止更换\n"
               "  --pause-rotation, --resume-rotation  暂停定时更换，以及重新开始\n"
               "  --leave-out NAME [FILE.vlm], --put-back NAME [FILE.vlm]  让一张图片不参与轮换，或重新参与\n"
               "设置，以后每次更换（窗口、命令行和定时器的）都使用：\n"
               "  --fit fill|fit|stretch|center|tile|span|desktop  图片如何铺满屏幕（desktop：桌面自己的方式，如从前）\n"
               "  --per-monitor on|off  每个显示器各用一张图片\n"
               "  --order in-turn|shuffle  --next-wallpaper 的顺序；shuffle 让每张图片都出现一次后才重复\n"
               "  --lock-screen same|off  锁屏也显示此壁纸，或不改动锁屏\n";
    }
    return "  --set-wallpaper NAME [FILE.vlm]  make the picture named NAME of the collection the desktop"
           " wallpaper, without opening the window\n"
           "  --next-wallpaper [FILE.vlm]  make the next picture of the rotation the desktop wallpaper"
           " (in turn after the last wallpaper, wrapping round, or shuffled)\n"
           "  --previous-wallpaper [FILE.vlm]  go back to the picture shown before\n"
           "  --rotate-every DURATION|off [FILE.vlm]  change the wallpaper every DURATION (30m, 2h, 1h30m)"
           " through the system's scheduler (a systemd user timer; on Windows a Task Scheduler task), or stop doing so\n"
           "  --pause-rotation, --resume-rotation  stop the timer for a while, and start it again\n"
           "  --leave-out NAME [FILE.vlm], --put-back NAME [FILE.vlm]  leave a picture out of the rotation,"
           " or take it back\n"
           "Settings, kept for every later change (the window's, the command line's and the timer's):\n"
           "  --fit fill|fit|stretch|center|tile|span|desktop  how the picture fills the screen"
           " (desktop: the desktop's own choice, as before)\n"
           "  --per-monitor on|off  a picture of its own on each monitor\n"
           "  --order in-turn|shuffle  the order of --next-wallpaper; shuffle shows every picture once"
           " before any comes again\n"
           "  --lock-screen same|off  the lock screen shows the wallpaper too, or is left alone\n";
}

}  // namespace velmora
