#include "bench/x_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace velmora::bench {

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (std::string& text : texts) out.push_back(text.data());
    out.push_back(nullptr);
    return out;
}

XServer::XServer(const std::string& screen) {
    int ends[2];
    if (pipe(ends) != 0) std::exit(1);
    std::vector<std::string> argv{"/usr/bin/Xvfb", "-displayfd", std::to_string(ends[1]), "-nolisten", "tcp",
                                  "-screen", "0", screen};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args = pointers(argv);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), nullptr) != 0) {
        std::fprintf(stderr, "cannot start Xvfb\n");
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    pollfd ready{ends[0], POLLIN, 0};
    char number[16] = {};
    if (poll(&ready, 1, 15000) <= 0 || read(ends[0], number, sizeof number - 1) <= 0) {
        std::fprintf(stderr, "Xvfb did not start\n");
        std::exit(1);
    }
    close(ends[0]);
    display_ = ":" + std::to_string(std::atoi(number));
}

XServer::~XServer() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

}  // namespace velmora::bench
