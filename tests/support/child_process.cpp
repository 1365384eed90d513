#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace velmora::test {

namespace {

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& overrides) {
    std::vector<std::string> result;
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** entry = environ; *entry; ++entry) {
        const std::string current(*entry);
        bool replaced = false;
        for (const std::string& o : overrides) {
            replaced = replaced || nameOf(o) == nameOf(current);
        }
        if (!replaced) {
            result.push_back(current);
        }
    }
    result.insert(result.end(), overrides.begin(), overrides.end());
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (std::string& s : strings) {
        result.push_back(s.data());
    }
    result.push_back(nullptr);
    return result;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (options.silent) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    } else if (!options.standardOutput.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, options.standardOutput.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    for (auto [from, to] : options.passDescriptors) {
        posix_spawn_file_actions_adddup2(&actions, from, to);
    }
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = mergedEnvironment(options.environment);
    std::vector<char*> argp = pointers(arguments);
    std::vector<char*> envp = pointers(environment);
    const int result = posix_spawnp(&pid_, argv.at(0).c_str(), &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(result));
    }
}

ChildProcess::~ChildProcess() {
    if (!exitCode_) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds limit, const std::function<void()>& idle) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!exitCode_) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        if (idle) {
            idle();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return exitCode_;
}

void ChildProcess::stop() {
    if (exitCode_) {
        return;
    }
    ::kill(pid_, SIGTERM);
    if (!wait(std::chrono::seconds(2))) {
        ::kill(pid_, SIGKILL);
        wait(std::chrono::seconds(5));
    }
}

std::string programLocation(const std::string& name, const std::string& searchPath) {
    std::istringstream folders(searchPath);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = (std::filesystem::path(folder) / name).string();
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

bool programAvailable(const std::string& name) {
    const char* path = std::getenv("PATH");
    return !programLocation(name, path ? path : "").empty();
}

}  // namespace velmora::test
