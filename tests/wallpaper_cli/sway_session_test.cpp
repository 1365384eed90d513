// A headless sway session: the command-line wallpaper becomes sway's background
// (the swaybg it starts shows the file), and Velmora's window opens under it through
// Qt's Wayland platform. sway will not run as root, so as root (as in CI) the session
// and everything in it run as an unprivileged user, created when missing.

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/process_runner.h"
#include "store/database/collection_file.h"
#include "tests/support/build_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/wallpaper_cli/program_run.h"
#include "tools/synthetic_picture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* const kSessionUser = "velmora-test";

// Polls until `done` holds or ten seconds have passed.
template <typename Condition>
bool eventually(Condition done) {
    for (auto deadline = Clock::now() + std::chrono::seconds(10); Clock::now() < deadline;) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

// The command lines of the running processes, their arguments joined by blanks.
std::vector<std::string> commandLines() {
    std::vector<std::string> lines;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (char& c : line) c = c == '\0' ? ' ' : c;
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

class SwaySession : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"sway", "swaymsg", "swaybg", "setpriv"})
            if (!platform::programOnPath(program)) GTEST_SKIP() << program << " missing";
        if (::getuid() == 0 && !sessionUser()) GTEST_SKIP() << "cannot create the user " << kSessionUser;

        fs::create_directories(home.file("run"));
        ::chmod(home.file("run").c_str(), 0700);
        test::writeFile(home.file("sway.config"), "");
        fs::copy_file(test::velmoraProgram(), home.file("velmora"));  // the build tree may be closed to the user
        createCollection(home.file("pictures.vlm"), {{"海 1", tools::syntheticJpeg(64, 48, 1)},
                                                            {"b", tools::syntheticJpeg(64, 48, 2)}});
        if (::getuid() == 0) {
            ASSERT_TRUE(platform::runProgram({"chown", "-R", std::string(kSessionUser) + ":", home.path().string()},
                                             std::chrono::seconds(10)));
        }

        environment = {"HOME=" + home.path().string(), "XDG_CONFIG_HOME=" + home.file("config"),
                       "XDG_DATA_HOME=" + home.file("data"), "XDG_RUNTIME_DIR=" + home.file("run"),
                       "WLR_BACKENDS=headless", "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1", "DISPLAY=",
                       "XDG_CURRENT_DESKTOP=sway", "XDG_SESSION_DESKTOP=", "DESKTOP_SESSION=",
                       // the sanitizers' settings may name files the user cannot read
                       "ASAN_OPTIONS=detect_leaks=0", "LSAN_OPTIONS="};
        test::ChildOptions options;
        options.environment = environment;
        options.silent = true;
        std::vector<std::string> argv = asUser;
        for (const std::string& part : {std::string("sway"), std::string("-c"), home.file("sway.config")})
            argv.push_back(part);
        sway = std::make_unique<test::ChildProcess>(argv, options);
        ASSERT_TRUE(eventually([&] { return !socket("sway-ipc.").empty() && !socket("wayland-").empty(); }))
            << "sway did not start";
        environment.push_back("SWAYSOCK=" + socket("sway-ipc."));
        environment.push_back("WAYLAND_DISPLAY=" + fs::path(socket("wayland-")).filename().string());
    }
    void TearDown() override {
        if (sway) sway->stop();
    }

    // Fills asUser when running as root: the user, created when it does not exist yet.
    bool sessionUser() {
        if (::getpwnam(kSessionUser) == nullptr)
            platform::runProgram({"useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin",
                                  kSessionUser},
                                 std::chrono::seconds(10));
        const passwd* user = ::getpwnam(kSessionUser);
        if (user == nullptr) return false;
        asUser = {"setpriv", "--reuid=" + std::to_string(user->pw_uid), "--regid=" + std::to_string(user->pw_gid),
                  "--clear-groups"};
        return true;
    }

    // The first socket in the runtime folder whose name starts with prefix.
    std::string socket(const std::string& prefix) const {
        for (const auto& entry : fs::directory_iterator(home.file("run")))
            if (entry.is_socket() && entry.path().filename().string().rfind(prefix, 0) == 0) return entry.path();
        return "";
    }

    test::TempDir home;
    std::vector<std::string> asUser;
    std::vector<std::string> environment;
    std::unique_ptr<test::ChildProcess> sway;
};

TEST_F(SwaySession, CommandLineWallpaperBecomesTheBackgroundAndTheWindowOpensUnderSway) {
    test::ProgramRun run = test::runProgramIn(home.path().string(), asUser,
                                              {home.file("velmora"), "--set-wallpaper", "海 1"}, environment);
    const std::string file = home.file("data") + "/velmora/drive_c/WINDOWS/Web/Wallpaper/myWallPaper/海 1.bmp";
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors, "velmora: wallpaper set through sway (swaymsg): " + file + "\n");
    EXPECT_TRUE(eventually([&] {
        for (const std::string& line : commandLines())
            if (line.find("swaybg") != std::string::npos && line.find("-i " + file + " -m fill") != std::string::npos)
                return true;
        return false;
    })) << "no swaybg shows " << file;

    test::ChildOptions options;
    options.environment = environment;
    options.environment.push_back("QT_QPA_PLATFORM=wayland");
    options.silent = true;
    std::vector<std::string> argv = asUser;
    for (const std::string& part : {std::string("env"), std::string("-C"), home.path().string(), home.file("velmora")})
        argv.push_back(part);
    test::ChildProcess window(argv, options);
    std::string tree;
    EXPECT_TRUE(eventually([&] {
        tree = platform::captureProgram({"swaymsg", "-s", socket("sway-ipc."), "-t", "get_tree"},
                                        std::chrono::seconds(5))
                   .value_or("");
        return tree.find("\"app_id\": \"example.velmora.Velmora\"") != std::string::npos;
    })) << tree;
    EXPECT_NE(tree.find("Zantrel"), std::string::npos);
    window.stop();
}

}  // namespace
}  // namespace velmora
