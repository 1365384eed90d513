// The command line: what each form of it asks for, read before any window exists.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line_linux.h"
#include "store/database/server_address.h"

namespace velmora {
namespace {

using Action = CommandLine::Action;

CommandLine parse(std::vector<const char*> args) {
    args.insert(args.begin(), "velmora");
    return parseCommandLine(static_cast<int>(args.size()), args.data());
}

std::string absolute(const std::string& path) {
    return std::filesystem::absolute(path).lexically_normal().string();
}

TEST(CommandLine, ReadsEachFormOfTheCommandLine) {
    struct Case {
        std::vector<const char*> args;
        Action action;
        std::optional<std::string> file;
        bool userCollection;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{}, Action::Browse, std::nullopt, false, ""},
        {{"album.vlm"}, Action::Browse, absolute("album.vlm"), false, ""},
        {{"../x/./y/../相册.vlm"}, Action::Browse, absolute("../x/相册.vlm"), false, ""},
        {{"/srv/pictures/a.vlm"}, Action::Browse, "/srv/pictures/a.vlm", false, ""},
        {{"--user-collection"}, Action::Browse, std::nullopt, true, ""},
        {{"--user-collection", "/a.vlm"}, Action::Browse, "/a.vlm", true, ""},
        {{"-h"}, Action::Help, std::nullopt, false, ""},
        {{"--help", "--no-such-option"}, Action::Help, std::nullopt, false, ""},
        {{"a.vlm", "--version"}, Action::Version, std::nullopt, false, ""},
        // Qt's own options, with their values, are left to Qt.
        {{"-platform", "offscreen", "/a.vlm"}, Action::Browse, "/a.vlm", false, ""},
        {{"--platform=offscreen", "-reverse", "-style", "fusion", "/a.vlm"}, Action::Browse, "/a.vlm", false, ""},
        {{"--", "-odd.vlm"}, Action::Browse, absolute("-odd.vlm"), false, ""},
        {{"--", "--set-wallpaper"}, Action::Browse, absolute("--set-wallpaper"), false, ""},
        {{"--no-such-option"}, Action::Invalid, std::nullopt, false, "unknown option '--no-such-option'"},
        {{"-x"}, Action::Invalid, std::nullopt, false, "unknown option '-x'"},
        {{"a.vlm", "b.vlm"}, Action::Invalid, std::nullopt, false, "only one collection file can be opened at a time"},
        {{"-platform"}, Action::Invalid, std::nullopt, false, "option '-platform' needs a value"},
        {{"postgres://db/photos"}, Action::Browse, "postgres://db/photos", false, ""},
    };
    for (const Case& c : cases) {
        std::string args;
        for (const char* arg : c.args) args += std::string(" ") + arg;
        SCOPED_TRACE("velmora" + args);
        CommandLine result = parse(c.args);
        EXPECT_EQ(result.action, c.action);
        if (c.action == Action::Invalid) {
            EXPECT_EQ(result.error, c.error);
            continue;
        }
        if (c.action != Action::Browse) continue;
        EXPECT_EQ(result.file, c.file);
        EXPECT_EQ(result.userCollection, c.userCollection);
    }
}

TEST(CommandLine, LanguageTakesZhOrEn) {
    EXPECT_EQ(parse({"--language", "en", "a.vlm"}).language, Language::English);
    EXPECT_EQ(parse({"--language=zh"}).language, Language::Chinese);
    EXPECT_EQ(parse({}).language, std::nullopt);
    EXPECT_EQ(parse({"--language"}).error, "option '--language' needs a value: zh or en");
    EXPECT_EQ(parse({"--language", "de"}).error, "option '--language' takes zh or en, not 'de'");
    EXPECT_EQ(parse({"--languages"}).action, Action::Invalid);
}

TEST(CommandLine, CheckAndBackupOwnTheLineAndCountTheirOperands) {
    using Kind = MaintenanceOptions::Kind;
    const struct {
        std::vector<const char*> args;
        Kind kind;
        std::string file, destination, usageError;
    } cases[] = {
        {{"--check", "a.vlm"}, Kind::Check, "a.vlm", "", ""},
        {{"--backup", "a.vlm", "b.vlm"}, Kind::Backup, "a.vlm", "b.vlm", ""},
        {{"--check"}, Kind::Check, "", "", "usage: velmora --check FILE.vlm"},
        {{"--backup", "a.vlm"}, Kind::Backup, "", "", "usage: velmora --backup FILE.vlm DEST.vlm"},
        {{"--copy-collection", "a.vlm", "service=shared"}, Kind::CopyCollection, "a.vlm", "service=shared", ""},
        {{"--copy-collection", "a.vlm"}, Kind::CopyCollection, "", "", "usage: velmora --copy-collection SOURCE DEST"},
        {{"--add", "a.vlm"}, Kind::Add, "", "", "usage: velmora --add COLLECTION PICTURE..."},
        {{"a.vlm", "--check"}, Kind::None, "", "", ""},  // not first: runMaintenance says so
    };
    for (const auto& c : cases) {
        CommandLine result = parse(c.args);
        ASSERT_EQ(result.action, Action::Maintenance);
        EXPECT_EQ(result.maintenance.kind, c.kind);
        EXPECT_EQ(result.maintenance.file, c.file);
        EXPECT_EQ(result.maintenance.destination, c.destination);
        EXPECT_EQ(result.maintenance.usageError, c.usageError);
    }
    EXPECT_EQ(parse({"--", "--check"}).action, Action::Browse);
    const MaintenanceOptions add = parse({"--add", "postgres://db/x", "a.jpg", "b.png"}).maintenance;
    EXPECT_EQ(add.file, "postgres://db/x");
    EXPECT_EQ(add.pictures, (std::vector<std::string>{"a.jpg", "b.png"}));
}

TEST(CommandLine, WallpaperOptionsAreHandedOnWhole) {
    const std::vector<std::vector<const char*>> commandLines = {
        {"--set-wallpaper", "Sky", "album.vlm"},
        {"--next-wallpaper"},
        {"-platform", "xcb", "--next-wallpaper", "a", "b"},
        {"--fit", "span", "--previous-wallpaper"},
    };
    for (const auto& args : commandLines) {
        CommandLine result = parse(args);
        EXPECT_EQ(result.action, Action::Wallpaper);
        EXPECT_EQ(result.wallpaperArguments, std::vector<std::string>(args.begin(), args.end()));
    }
}

TEST(CommandLine, HelpNamesEveryOption) {
    std::string help = helpText();
    for (const char* line : {
             "Usage: velmora [OPTION]... [FILE.vlm]\n",
             "  --user-collection  ",
             "  --set-wallpaper NAME [FILE.vlm]  make the picture named NAME of the collection the desktop wallpaper, "
             "without opening the window\n",
             "  --next-wallpaper [FILE.vlm]  make the next picture of the rotation the desktop wallpaper "
             "(in turn after the last wallpaper, wrapping round, or shuffled)\n",
             "  --previous-wallpaper [FILE.vlm]  ",
             "  --rotate-every DURATION|off [FILE.vlm]  ",
             "  --pause-rotation, --resume-rotation  ",
             "  --leave-out NAME [FILE.vlm], --put-back NAME [FILE.vlm]  ",
             "  --fit fill|fit|stretch|center|tile|span|desktop  ",
             "  --per-monitor on|off  ",
             "  --order in-turn|shuffle  ",
             "  --lock-screen same|off  ",
             "  -h, --help  ",
             "  --version  ",
         }) {
        EXPECT_NE(help.find(line), std::string::npos) << line;
    }
    EXPECT_TRUE(versionText().starts_with("velmora 1.")) << versionText();
}

}  // namespace
}  // namespace velmora
