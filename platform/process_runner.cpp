#include "platform/process_runner.h"

#include <cerrno>
#include <csignal>
#include <algorithm>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmora::platform {
namespace {

using Clock = std::chrono::steady_clock;

bool isProgramFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// Starts argv (argv[0] found by programPath) with no input and standard error
// discarded unless keepErrors; standard output goes to outputFd, or is discarded when
// it is -1. Returns the child's pid, or -1.
pid_t spawn(const std::vector<std::string>& argv, int outputFd, bool keepErrors = false) {
    const std::string program = argv.empty() ? "" : programPath(argv[0]);
    if (program.empty()) return -1;
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outputFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    if (!keepErrors) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    // By the path found, not by a search of its own.
    int err = posix_spawn(&pid, program.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return err == 0 ? pid : -1;
}

// The child's exit status once it has ended; nothing while it runs.
std::optional<bool> poll(pid_t pid) {
    int status = 0;
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done < 0 && errno != EINTR) return false;
    return std::nullopt;
}

void kill(pid_t pid) {
    int status = 0;
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Waits for the child until the deadline, killing it there.
bool finish(pid_t pid, Clock::time_point deadline) {
    while (true) {
        if (std::optional<bool> ended = poll(pid)) return *ended;
        if (Clock::now() >= deadline) {
            kill(pid);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

bool startProgram(const std::vector<std::string>& argv) {
    const pid_t pid = spawn(argv, -1, true);
    if (pid < 0) return false;
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool runProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    pid_t pid = spawn(argv, -1);
    return pid > 0 && finish(pid, Clock::now() + timeout);
}

std::optional<std::string> captureProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
    pid_t pid = spawn(argv, ends[1]);
    ::close(ends[1]);
    if (pid <= 0) {
        ::close(ends[0]);
        return std::nullopt;
    }
    const auto deadline = Clock::now() + timeout;
    std::string output;
    std::optional<bool> ended;
    // Reads until the end of the output; a program that has ended while something it
    // started still holds the pipe is not waited for beyond what is already there.
    while (true) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        pollfd ready{ends[0], POLLIN, 0};
        if (::poll(&ready, 1, ended ? 0 : static_cast<int>(std::min<long long>(left, 20))) > 0) {
            char buffer[4096];
            ssize_t n = ::read(ends[0], buffer, sizeof buffer);
            if (n <= 0) break;  // end of output
            output.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (ended) break;
        ended = poll(pid);
    }
    ::close(ends[0]);
    bool succeeded = ended ? *ended : finish(pid, deadline);
    if (!succeeded) return std::nullopt;
    return output;
}

std::vector<std::string> outputLines(const std::string& output) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = std::min(output.find('\n', start), output.size());
        std::string line = output.substr(start, end - start);
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string programPath(const std::string& name) {
    if (name.find('/') != std::string::npos) return name[0] == '/' && isProgramFile(name) ? name : "";
    const char* path = std::getenv("PATH");
    if (path == nullptr || name.empty()) return "";
    const std::string list = path;
    for (std::size_t pos = 0; pos <= list.size();) {
        const std::size_t end = std::min(list.find(':', pos), list.size());
        // An empty or relative entry would be the current folder, which whoever sent a
        // collection may have filled.
        if (end > pos && list[pos] == '/') {
            const std::string candidate = list.substr(pos, end - pos) + "/" + name;
            if (isProgramFile(candidate)) return candidate;
        }
        pos = end + 1;
    }
    return "";
}

bool programOnPath(const std::string& name) { return !programPath(name).empty(); }

}  // namespace velmora::platform
