#pragma once
// Other programs run by the desktop tests (Xvfb, xclip, this test program itself),
// each waited for with a time limit and killed if still running when dropped.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::test {

struct ChildOptions {
    std::vector<std::string> environment;         // "NAME=value", added or replacing
    std::string standardOutput;                   // a file to write, else inherited
    bool silent = false;                          // standard output and error to /dev/null
    std::vector<std::pair<int, int>> passDescriptors;  // parent fd -> child fd
};

class ChildProcess {
public:
    // Starts argv[0], looked up in PATH. Throws std::runtime_error when it cannot start.
    explicit ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The exit code once it ends within the limit (128 + signal when killed), calling
    // `idle` between polls; nothing when it is still running.
    std::optional<int> wait(std::chrono::milliseconds limit, const std::function<void()>& idle = {});
    // SIGTERM, then SIGKILL if it has not ended within two seconds.
    void stop();

private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

// Where the program `name` is found in the folders of `searchPath` (PATH's form); "" when
// none holds it.
std::string programLocation(const std::string& name, const std::string& searchPath);
// Whether the program is found on PATH.
bool programAvailable(const std::string& name);

}  // namespace velmora::test
