#include "platform/change_lock.h"

#include <cerrno>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/xdg_dirs.h"

namespace velmora::platform {

UserChangeLock::UserChangeLock(std::string name, std::chrono::milliseconds bound)
    : name_(std::move(name)), bound_(bound) {}

UserChangeLock::~UserChangeLock() { release(); }

bool UserChangeLock::acquire() {
    // Beside the drive folders and looked up at each change, so a HOME of its own has a lock of its own.
    const std::string folder = xdgDataHome() + "/velmora";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::string path = folder + "/" + name_ + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    const auto deadline = std::chrono::steady_clock::now() + bound_;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
        if (errno == EINTR) continue;
        // A file system without locks serialises nothing, as before.
        if (errno != EWOULDBLOCK) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    handle_ = fd;
    return true;
}

void UserChangeLock::release() {
    if (handle_ < 0) return;
    // The file stays: removing it would let a waiter lock a name another process recreates.
    ::close(static_cast<int>(handle_));
    handle_ = -1;
}

}  // namespace velmora::platform
