#include "tests/support/xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <stdexcept>

namespace velmora::test {

namespace {

constexpr int kDisplayFdInChild = 63;

class Pipe {
public:
    Pipe() {
        if (::pipe2(ends_, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
    }
    ~Pipe() {
        closeWriteEnd();
        ::close(ends_[0]);
    }
    int readEnd() const { return ends_[0]; }
    int writeEnd() const { return ends_[1]; }
    void closeWriteEnd() {
        if (ends_[1] >= 0) {
            ::close(ends_[1]);
            ends_[1] = -1;
        }
    }

private:
    int ends_[2] = {-1, -1};
};

// Xvfb writes "<number>\n" once it is ready; reads it within the time limit.
std::string readDisplayNumber(int fd, int limitMs) {
    std::string text;
    while (text.empty() || text.back() != '\n') {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, limitMs) <= 0) {
            throw std::runtime_error("Xvfb did not report a display");
        }
        char buffer[16];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            throw std::runtime_error("Xvfb ended before reporting a display");
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    text.pop_back();
    return text;
}

}  // namespace

XvfbServer::XvfbServer(const std::vector<std::string>& extraArguments) {
    Pipe pipe;
    ChildOptions options;
    options.silent = true;
    options.passDescriptors = {{pipe.writeEnd(), kDisplayFdInChild}};
    std::vector<std::string> argv{"Xvfb", "-displayfd", std::to_string(kDisplayFdInChild), "-nolisten", "tcp",
                                  "-noreset", "-screen", "0", "640x480x24"};
    argv.insert(argv.end(), extraArguments.begin(), extraArguments.end());
    server_ = std::make_unique<ChildProcess>(argv, options);
    pipe.closeWriteEnd();
    display_ = ":" + readDisplayNumber(pipe.readEnd(), 15000);
}

XvfbServer::~XvfbServer() {
    server_->stop();
}

}  // namespace velmora::test
