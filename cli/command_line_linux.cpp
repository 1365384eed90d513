#include "cli/command_line_linux.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

#include "store/database/server_address.h"


namespace velmora {
namespace {

// Qt's own options that take a value; the others (-reverse, -nograb, ...) take none.
constexpr std::array<std::string_view, 15> kQtOptionsWithValue = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qmljsdebugger", "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle", "-style", "-stylesheet", "-session", "-display", "-geometry", "-name", "-title",
};
constexpr std::array<std::string_view, 5> kQtFlags = {"-reverse", "-nograb", "-dograb", "-sync", "-widgetcount"};

// Qt accepts its options with one dash or two, and "-style=NAME" as well as "-style NAME".
std::string_view qtSpelling(std::string_view arg) {
    if (arg.starts_with("--")) arg.remove_prefix(1);
    return arg.substr(0, arg.find('='));
}

bool isQtOptionWithValue(std::string_view arg) {
    return std::ranges::find(kQtOptionsWithValue, qtSpelling(arg)) != kQtOptionsWithValue.end();
}

bool isQtFlag(std::string_view arg) {
    return std::ranges::find(kQtFlags, qtSpelling(arg)) != kQtFlags.end();
}

CommandLine invalid(std::string error) {
    CommandLine result;
    result.action = CommandLine::Action::Invalid;
    result.error = std::move(error);
    return result;
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    std::vector<std::string_view> args(argv + std::min(argc, 1), argv + argc);
    if (asksForWallpaper(args)) {
        CommandLine result;
        result.action = CommandLine::Action::Wallpaper;
        result.wallpaperArguments.assign(args.begin(), args.end());
        return result;
    }

    if (asksForMaintenance(args)) {
        CommandLine result;
        result.action = CommandLine::Action::Maintenance;
        result.maintenance = parseMaintenanceOptions(std::vector<std::string>(args.begin(), args.end()));
        return result;
    }

    CommandLine result;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (isHelpOption(arg)) {
                result.action = CommandLine::Action::Help;
                return result;
            } else if (isVersionOption(arg)) {
                result.action = CommandLine::Action::Version;
                return result;
            } else if (arg == "--user-collection") {
                result.userCollection = true;
            } else if (std::string error; readLanguageOption(args, i, result.language, error)) {
                if (!error.empty()) return invalid(error);
            } else if (isQtOptionWithValue(arg)) {
                if (arg.find('=') == std::string_view::npos) {
                    if (i + 1 >= args.size()) return invalid("option '" + std::string(arg) + "' needs a value");
                    ++i;
                }
            } else if (!isQtFlag(arg)) {
                return invalid("unknown option '" + std::string(arg) + "'");
            }
            continue;
        }
        if (result.file) return invalid("only one collection file can be opened at a time");
        // A server address is opened as it is; a file by its absolute path.
        result.file = isServerAddress(arg) ? std::string(arg)
                                           : std::filesystem::absolute(std::filesystem::path(arg)).lexically_normal().string();
    }
    return result;
}

std::string helpText(Language language) {
    if (language == Language::Chinese) {
        return std::string("用法：velmora [OPTION]... [FILE.vlm]\n"
                           "把图片保存在一个图片库文件中，逐张浏览，并设为桌面壁纸。\n"
                           "\n"
                           "不给 FILE 时，velmora 打开当前目录中的 pictures.vlm；给出 FILE 时打开该图片库，\n"
                           "并以其所在文件夹为当前目录。\n"
                           "\n"
                           "选项：\n"
                           "  --user-collection  在每个用户自己的文件夹 $XDG_DATA_HOME/velmora（默认为\n"
                           "                     ~/.local/share/velmora）中启动，那里没有 pictures.vlm 时先建一个空的\n") +
               languageOptionHelp(language) + wallpaperOptionsHelp(language) + maintenanceOptionsHelp(language) +
               generalOptionsHelp(language) +
               "\n"
               "Qt 自己的标准选项，如 -platform NAME 或 -style NAME，交给 Qt 处理。\n"
               "更多内容见 velmora(1)。\n";
    }
    return std::string("Usage: velmora [OPTION]... [FILE.vlm]\n"
                       "Keep pictures in a collection file, browse them and make them the desktop wallpaper.\n"
                       "\n"
                       "Without FILE, velmora opens pictures.vlm of the current directory; with FILE it opens\n"
                       "that collection and makes its folder the current directory.\n"
                       "\n"
                       "Options:\n"
                       "  --user-collection  start in the per-user folder $XDG_DATA_HOME/velmora (default\n"
                       "                     ~/.local/share/velmora), making an empty pictures.vlm there first\n"
                       "                     when it has none\n") +
           languageOptionHelp() + wallpaperOptionsHelp() + maintenanceOptionsHelp() + generalOptionsHelp() +
           "\n"
           "Qt's standard options, such as -platform NAME or -style NAME, are passed on to Qt.\n"
           "See velmora(1) for more.\n";
}

}  // namespace velmora
