#include "platform/registry_linux.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/hive_text.h"
#include "platform/posix_file.h"
#include "base/system_error.h"
#include "platform/xdg_dirs.h"
#include "base/error.h"

namespace velmora::platform {
namespace {

// Holds an exclusive lock on "<hive>.lock" for one read-modify-write.
class HiveLock {
public:
    explicit HiveLock(const std::string& hiveFile) {
        fd_ = ::open((hiveFile + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            error_ = errno;
            return;
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                error_ = errno;
                return;
            }
        }
    }
    ~HiveLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;
    int error() const { return error_; }

private:
    int fd_ = -1;
    int error_ = 0;
};

}  // namespace

LinuxRegistry::LinuxRegistry() : LinuxRegistry(defaultHiveFile()) {}

// The lock and the content as stored, while changes are held.
struct LinuxRegistry::Held {
    explicit Held(const std::string& hiveFile) : lock(hiveFile) {}
    HiveLock lock;
    RegistryHive stored;
};

LinuxRegistry::LinuxRegistry(std::string hiveFile) : hiveFile_(std::move(hiveFile)) {}

LinuxRegistry::~LinuxRegistry() = default;

std::string LinuxRegistry::defaultHiveFile() {
    return xdgConfigHome() + "/velmora/HKEY_CURRENT_USER.hive";
}

long LinuxRegistry::load(RegistryHive& hive) {
    std::string text;
    // Far above any hive the program writes; a FIFO or a device planted under the
    // hive's name is refused before a byte is read, rather than waited on.
    constexpr std::size_t kMaxHiveBytes = 16u << 20;
    int err = readSmallFile(hiveFile_, kMaxHiveBytes, text);
    if (err == ENOENT) {
        hive = RegistryHive();
        damage_.clear();
        return kErrorSuccess;
    }
    if (err == kNotARegularFile || err == kFileTooLarge) {
        damage_ = hiveFile_ + (err == kNotARegularFile ? ": not a regular file" : ": larger than 16 MB");
        return kErrorBadDb;
    }
    if (err != 0) return win32ErrorFromErrno(err);
    try {
        hive = parseHive(text);
    } catch (const Error& e) {
        damage_ = hiveFile_ + ": " + e.what();
        return kErrorBadDb;
    }
    damage_.clear();
    return kErrorSuccess;
}

long LinuxRegistry::store(const RegistryHive& hive) {
    std::string text = formatHive(hive);
    int err = writeFileAtomically(hiveFile_, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), 0600);
    return err != 0 ? win32ErrorFromErrno(err) : kErrorSuccess;
}

long LinuxRegistry::readHive(const HiveReader& work) {
    // Nobody else writes while the lock is held: the content in memory is the file's.
    if (!held_) {
        if (long code = load(hive_)) return code;
    }
    return work(hive_);
}

long LinuxRegistry::changeHive(const HiveWriter& work) {
    if (held_) {
        RegistryHive changed = hive_;
        if (long code = work(changed)) return code;
        hive_ = std::move(changed);
        return kErrorSuccess;
    }
    if (int err = makeDirectories(parentFolder(hiveFile_))) return win32ErrorFromErrno(err);
    HiveLock lock(hiveFile_);
    if (lock.error() != 0) return win32ErrorFromErrno(lock.error());
    if (long code = load(hive_)) return code;
    RegistryHive changed = hive_;
    if (long code = work(changed)) return code;
    if (changed == hive_) return kErrorSuccess;
    if (long code = store(changed)) return code;
    hive_ = std::move(changed);
    return kErrorSuccess;
}

void LinuxRegistry::holdChanges() {
    if (holdDepth_++ > 0 || makeDirectories(parentFolder(hiveFile_)) != 0) return;
    auto held = std::make_unique<Held>(hiveFile_);
    if (held->lock.error() != 0 || load(hive_) != kErrorSuccess) return;
    held->stored = hive_;
    held_ = std::move(held);
}

long LinuxRegistry::commitChanges() {
    if (holdDepth_ == 0 || --holdDepth_ > 0 || !held_) return kErrorSuccess;
    std::unique_ptr<Held> held = std::move(held_);  // the lock goes with it
    if (hive_ == held->stored) return kErrorSuccess;
    long code = store(hive_);
    if (code != kErrorSuccess) hive_ = std::move(held->stored);
    return code;
}

}  // namespace velmora::platform
