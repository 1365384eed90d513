#include "bench/server_run.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>

extern char** environ;

namespace velmora::bench {

int runProgram(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (std::string& arg : argv) args.push_back(arg.data());
    args.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, args[0], nullptr, nullptr, args.data(), environ) != 0) return -1;
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

BenchServer::BenchServer(const std::string& scratch) : scratch_(scratch) {
    if (runProgram({std::string(VELMORA_SOURCE_DIR) + "/tools/test-server.sh", "start", scratch_}) != 0) {
        whyNot_ = "tools/test-server.sh could not start a server";
        return;
    }
    setenv("VELMORA_TEST_SERVER", (scratch_ + "/server.env").c_str(), 1);
    setting_ = test::testServer(whyNot_);
}

BenchServer::~BenchServer() { runProgram({std::string(VELMORA_SOURCE_DIR) + "/tools/test-server.sh", "stop", scratch_}); }

std::string addressOver(const std::string& way, const test::ServerSetting& server, const test::ServerDatabase& database) {
    return way == "tcp" ? database.tcpAddress(server.admin, server.adminPassword) : database.address();
}

}  // namespace velmora::bench
