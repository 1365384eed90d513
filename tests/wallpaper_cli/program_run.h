#pragma once
// Runs the velmora program the way a user or a timer does, in a folder of the test,
// with the environment the test gives, and keeps what it says on standard output and error.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {

struct ProgramRun {
    int status = -1;
    std::string errors;
    std::string output;
};

// `prefix` comes before the program, e.g. to run it as another user.
inline ProgramRun runProgramIn(const std::string& folder, const std::vector<std::string>& prefix,
                               const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
    TempDir scratch;
    const std::string errorFile = scratch.file("stderr");
    int fd = ::open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<std::string> argv = prefix;
    for (const std::string& part : {std::string("env"), std::string("-C"), folder}) argv.push_back(part);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildOptions options;
    options.environment = environment;
    options.passDescriptors = {{fd, 2}};
    options.standardOutput = scratch.file("stdout");
    ChildProcess child(argv, options);
    ::close(fd);
    ProgramRun run;
    run.status = child.wait(std::chrono::seconds(60)).value_or(-1);
    run.errors = readFile(errorFile);
    run.output = readFile(options.standardOutput);
    return run;
}

}  // namespace velmora::test
