#include "store/imagefile/file_access.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cerrno>
#include <filesystem>
#include <utility>

#include "base/system_error.h"
#include "base/error.h"
#include "store/imagefile/mapping_guard.h"

namespace velmora {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

[[noreturn]] void raiseCannotOpen(const std::string& path, int err) {
    throw Error(cannotOpenFileMessage(fullPathForMessage(path), win32ErrorFromErrno(err)));
}

[[noreturn]] void raiseCannotCreate(const std::string& path, int err) {
    throw Error(cannotCreateFileMessage(fullPathForMessage(path), win32CreateErrorFromErrno(err)));
}

bool writeAll(int fd, const Bytes& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// A short name in the target's folder (rename cannot cross file systems) that no
// other writer uses; O_EXCL settles races.
std::string temporarySibling(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const std::string name = ".velmora-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    return (folder.empty() ? std::filesystem::path(name) : folder / name).string();
}

}  // namespace

MappedFile::MappedFile(const InputFile& file) {
    if (file.size() == 0 || file.size() > SIZE_MAX) return;
    const auto size = static_cast<std::size_t>(file.size());
    // MAP_POPULATE reads the whole file in with one call instead of one fault per page.
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.descriptor(), 0);
    if (map == MAP_FAILED) return;
    guard_ = guardMapping(map, size);
    if (guard_ < 0) {
        ::munmap(map, size);
        return;
    }
    data_ = static_cast<const std::uint8_t*>(map);
    size_ = size;
}

MappedFile::~MappedFile() {
    if (!data_) return;
    unguardMapping(guard_);
    ::munmap(const_cast<std::uint8_t*>(data_), size_);
}

bool MappedFile::intact() const { return !mappingDamaged(guard_); }

std::string fullPathForMessage(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

InputFile::InputFile(const std::string& path) {
    // Non-blocking, so that a named pipe cannot stall the open; it is refused below.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        raiseCannotOpen(path, errno);
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        raiseCannotOpen(path, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        raiseCannotOpen(path, EACCES);
    }
    size_ = static_cast<std::uint64_t>(status.st_size);
    fd_ = fd.release();
}

InputFile::~InputFile() {
    ::close(fd_);
}

std::size_t InputFile::readAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd_, into + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw Error("Stream read error");
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void writeFileReplacing(const std::string& path, const Bytes& bytes) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        // Overwriting in place would fail on these; renaming over them must not succeed.
        if (S_ISDIR(status.st_mode)) {
            raiseCannotCreate(path, EISDIR);
        }
        if (::access(path.c_str(), W_OK) != 0) {
            raiseCannotCreate(path, errno);
        }
    }
    std::string temporary;
    int created = -1;
    do {
        temporary = temporarySibling(path);
        created = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (created < 0 && errno == EEXIST);
    if (created < 0) {
        raiseCannotCreate(path, errno);
    }
    FileDescriptor fd(created);
    if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || ::close(fd.release()) != 0 ||
        ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temporary.c_str());
        raiseCannotCreate(path, err);
    }
}

}  // namespace velmora
