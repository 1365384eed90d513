#include "tests/support/small_disk.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace velmora::test {

SmallDisk::SmallDisk(std::size_t bytes, std::string folder) : folder_(folder.empty() ? temp_.path().string() : folder) {
    std::filesystem::create_directories(folder_);
    std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
}

SmallDisk::~SmallDisk() {
    release();
    if (readOnlyByMode_) ::chmod(folder_.c_str(), 0755);  // so the folder can be removed
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
}

void SmallDisk::fill() {
    if (mounted_) {
        int fd = ::open(file(kFiller).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0) throw std::runtime_error("cannot create the filler");
        std::vector<char> block(4096, 'f');
        // Whole blocks first, then single bytes for the last partial block.
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        while (::write(fd, block.data(), 1) > 0) {
        }
        ::close(fd);
        return;
    }
    if (limited_) return;
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit none = saved_;
    none.rlim_cur = 0;
    if (::setrlimit(RLIMIT_FSIZE, &none) != 0) throw std::runtime_error("cannot limit the file size");
    limited_ = true;
}

void SmallDisk::release() {
    if (limited_) {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        limited_ = false;
    }
    if (mounted_) ::unlink(file(kFiller).c_str());
}

bool SmallDisk::makeReadOnly() {
    if (mounted_) {
        return ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
    }
    if (::geteuid() == 0) return false;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) ::chmod(entry.path().c_str(), 0444);
    readOnlyByMode_ = ::chmod(folder_.c_str(), 0555) == 0;
    return readOnlyByMode_;
}

}  // namespace velmora::test
