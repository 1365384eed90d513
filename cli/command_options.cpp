#include "cli/command_options.h"

#include <algorithm>

#include "cli/velmora_version.h"

namespace velmora {

bool isHelpOption(std::string_view arg) { return arg == "-h" || arg == "--help"; }

bool isVersionOption(std::string_view arg) { return arg == "--version"; }

bool readLanguageOption(const std::vector<std::string_view>& args, std::size_t& at, std::optional<Language>& language,
                        std::string& error) {
    constexpr std::string_view kOption = "--language";
    std::string_view arg = args[at];
    if (!arg.starts_with(kOption)) return false;
    std::string_view value;
    if (arg.size() == kOption.size()) {
        if (at + 1 >= args.size()) {
            error = "option '--language' needs a value: zh or en";
            return true;
        }
        value = args[++at];
    } else if (arg[kOption.size()] == '=') {
        value = arg.substr(kOption.size() + 1);
    } else {
        return false;
    }
    language = parseLanguageCode(value);
    if (!language) error = "option '--language' takes zh or en, not '" + std::string(value) + "'";
    return true;
}

namespace {

// Each option that works on a collection and ends the program: its operands and usage.
struct MaintenanceOption {
    std::string_view name;
    MaintenanceOptions::Kind kind;
    std::size_t leastOperands;
    std::size_t mostOperands;
    const char* usage;
};

constexpr std::size_t kAnyNumber = static_cast<std::size_t>(-1);
constexpr MaintenanceOption kMaintenanceOptions[] = {
    {"--check", MaintenanceOptions::Kind::Check, 1, 1, "usage: velmora --check FILE.vlm"},
    {"--backup", MaintenanceOptions::Kind::Backup, 2, 2, "usage: velmora --backup FILE.vlm DEST.vlm"},
    {"--add", MaintenanceOptions::Kind::Add, 2, kAnyNumber, "usage: velmora --add COLLECTION PICTURE..."},
    {"--copy-collection", MaintenanceOptions::Kind::CopyCollection, 2, 2,
     "usage: velmora --copy-collection SOURCE DEST"},
};

const MaintenanceOption* maintenanceOption(std::string_view arg) {
    for (const MaintenanceOption& option : kMaintenanceOptions) {
        if (option.name == arg) return &option;
    }
    return nullptr;
}

}  // namespace

bool asksForMaintenance(const std::vector<std::string_view>& args) {
    const auto end = std::find(args.begin(), args.end(), "--");
    return std::any_of(args.begin(), end, [](std::string_view arg) { return maintenanceOption(arg) != nullptr; });
}

MaintenanceOptions parseMaintenanceOptions(const std::vector<std::string>& arguments) {
    MaintenanceOptions options;
    const MaintenanceOption* option = arguments.empty() ? nullptr : maintenanceOption(arguments[0]);
    if (!option) return options;
    options.kind = option->kind;
    const std::vector<std::string> operands(arguments.begin() + 1, arguments.end());
    if (operands.size() < option->leastOperands || operands.size() > option->mostOperands) {
        options.usageError = option->usage;
        return options;
    }
    options.file = operands[0];
    if (option->kind == MaintenanceOptions::Kind::Add) {
        options.pictures.assign(operands.begin() + 1, operands.end());
    } else if (operands.size() == 2) {
        options.destination = operands[1];
    }
    return options;
}

std::string maintenanceOptionsHelp(Language language) {
    if (language == Language::Chinese) {
        return "  --check FILE.vlm   检查图片库（数据库和每张图片的 JPEG 文件头），不作任何改动；\n"
               "                     完好时退出状态为 0，否则为 1\n"
               "  --backup FILE.vlm DEST.vlm  一致地复制图片库，Velmora 正打开它时也可以；\n"
               "                     DEST.vlm 必须不存在\n"
               "  --add COLLECTION PICTURE...  以文件名为图片名添加图片，与窗口一次添加多个时相同；已存的\n"
               "                     图片跳过并列出；每张都已添加或跳过时退出状态为 0，否则为 1\n"
               "  --copy-collection SOURCE DEST  把每张图片连同其他列从文件或服务器图片库复制到新的图片库\n"
               "                     连同回收站和轮换标记（DEST 中必须没有 pictures 表）\n"
               "图片库是 FILE.vlm 或服务器地址：postgresql://[user@]host[:port]/dbname[?options]、\n"
               "postgres://... 或 service=NAME（见 pg_service.conf）；密码取自 ~/.pgpass，\n"
               "其次取自系统的密钥环（从不询问）\n";
    }
    return "  --check FILE.vlm   check the collection (the database and every picture's JPEG header)\n"
           "                     without changing it; exit status 0 when sound, 1 otherwise\n"
           "  --backup FILE.vlm DEST.vlm  copy the collection consistently, also while it is open\n"
           "                     in Velmora; DEST.vlm must not exist\n"
           "  --add COLLECTION PICTURE...  add pictures named after their files, as the window adds\n"
           "                     several; pictures stored already are skipped and listed; exit status 0\n"
           "                     when each was added or skipped, 1 otherwise\n"
           "  --copy-collection SOURCE DEST  copy every picture, with its other columns, from a file or\n"
           "                     server collection to a new one, with its trash and rotation marks\n"
           "                     (DEST must not hold a pictures table)\n"
           "A collection is a FILE.vlm or a server address: postgresql://[user@]host[:port]/dbname[?options],\n"
           "postgres://..., or service=NAME (see pg_service.conf); passwords come from ~/.pgpass,\n"
           "else from the system's keyring (never asked for)\n";
}

std::string languageOptionHelp(Language language) {
    return language == Language::Chinese ? "      --language zh|en  这一次以中文或英文显示窗口\n"
                                         : "      --language zh|en  show the window in Chinese or English this time\n";
}

std::string generalOptionsHelp(Language language) {
    if (language == Language::Chinese) {
        return "  -h, --help         显示此帮助并退出\n"
               "      --version      显示版本并退出\n";
    }
    return "  -h, --help         show this help and exit\n"
           "      --version      show the version and exit\n";
}

std::string versionText() { return std::string("velmora ") + kVelmoraVersion + "\n"; }

std::string invalidCommandLineText(const std::string& error) {
    return "velmora: " + error + "\nTry 'velmora --help' for more information.\n";
}

}  // namespace velmora
