#pragma once
// A real sway on its headless backend, with one output, a runtime folder of its own
// and a swaybg that only records the arguments sway starts it with. sway refuses to
// run as root: then it runs as nobody, and the test's folder is opened to it (sway
// looks at each background file; a compositor of the user's own sees them anyway).

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {

class HeadlessSway {
public:
    // top: the test's folder, which sway's own files go into as well.
    explicit HeadlessSway(std::string top) : top_(std::move(top)) {}
    ~HeadlessSway() {
        if (sway_) sway_->stop();
    }

    // Starts sway once the test's files are in place; "" when it runs, else why not.
    std::string start() {
        namespace fs = std::filesystem;
        for (const char* program : {"/usr/bin/sway", "/usr/bin/setpriv"})
            if (!fs::exists(program)) return std::string(program) + " missing";
        const bool root = ::geteuid() == 0;
        const std::string runtime = top_ + "/sway-run";
        fs::create_directories(runtime);
        fs::create_directories(fs::path(log_).parent_path());
        ::chmod(top_.c_str(), 0755);
        for (const auto& entry : fs::recursive_directory_iterator(top_))
            if (entry.is_directory()) ::chmod(entry.path().c_str(), 0755);
        ::chmod(runtime.c_str(), 0700);
        if (root && (::chown(runtime.c_str(), kNobody, kNobody) != 0 ||
                     ::chown(fs::path(log_).parent_path().c_str(), kNobody, kNobody) != 0))
            return "cannot hand the runtime folder to nobody";
        const std::string recorder = top_ + "/swaybg-recorder", config = top_ + "/sway-config";
        writeFile(recorder, "#!/bin/sh\necho \"$@\" >> '" + log_ + "'\n");
        ::chmod(recorder.c_str(), 0755);
        writeFile(config, "swaybg_command " + recorder + "\n");
        ChildOptions options;
        options.silent = true;
        std::vector<std::string> argv{"/usr/bin/env", "-i", "HOME=" + runtime, "XDG_RUNTIME_DIR=" + runtime,
                                      "WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman",
                                      "WLR_HEADLESS_OUTPUTS=1", "/usr/bin/sway", "-c", config};
        if (root) argv.insert(argv.begin(), {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
        sway_ = std::make_unique<ChildProcess>(argv, options);
        for (auto deadline = std::chrono::steady_clock::now() + kLimit;;) {
            for (const auto& entry : fs::directory_iterator(runtime))
                if (entry.path().filename().string().starts_with("sway-ipc.")) socket_ = entry.path().string();
            if (!socket_.empty()) return "";
            if (std::chrono::steady_clock::now() > deadline || sway_->wait(std::chrono::milliseconds(50)))
                return "headless sway did not start here";
        }
    }

    const std::string& socket() const { return socket_; }
    // Forgets the starts of swaybg so far.
    void forget() const { std::filesystem::remove(log_); }

    // The arguments of swaybg's latest start, once `done` holds for them or the time
    // limit has passed (sway starts its swaybg again for each change).
    std::string lastSwaybg(const std::function<bool(const std::string& arguments)>& done) const {
        std::string last;
        for (auto deadline = std::chrono::steady_clock::now() + kLimit;
             !done(last) && std::chrono::steady_clock::now() < deadline;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::istringstream lines(std::filesystem::exists(log_) ? readFile(log_) : "");
            for (std::string line; std::getline(lines, line);)
                if (!line.empty()) last = line;
        }
        return last;
    }

private:
    static constexpr auto kLimit = std::chrono::seconds(10);
    static constexpr uid_t kNobody = 65534;

    std::string top_;
    std::string log_ = top_ + "/sway-log/swaybg.log";
    std::string socket_;
    std::unique_ptr<ChildProcess> sway_;
};

}  // namespace velmora::test
