#pragma once
// A private X server (Xvfb) for the benchmarks that run whole programs on a screen, and
// the argument lists handed to posix_spawn.

#include <sys/types.h>

#include <string>
#include <vector>

namespace velmora::bench {

// The texts as a null-ended array of pointers into them.
std::vector<char*> pointers(std::vector<std::string>& texts);

// Xvfb with one screen of the size given ("1920x1080x24"), stopped when the object goes.
class XServer {
public:
    explicit XServer(const std::string& screen);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = 0;
    std::string display_;
};

}  // namespace velmora::bench
