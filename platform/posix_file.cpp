#include "platform/posix_file.h"

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace velmora::platform {
namespace {

// Writes the runs in order, many to a system call.
int writeAll(int fd, std::vector<ByteRun> runs) {
    std::size_t next = 0;
    while (next < runs.size()) {
        iovec pieces[IOV_MAX];
        int count = 0;
        for (std::size_t i = next; i < runs.size() && count < IOV_MAX; ++i)
            if (runs[i].size > 0) pieces[count++] = {const_cast<std::uint8_t*>(runs[i].data), runs[i].size};
        if (count == 0) break;
        ssize_t written = ::writev(fd, pieces, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        // Skip what went out; a run written in part goes on from where it stopped.
        auto left = static_cast<std::size_t>(written);
        while (next < runs.size() && left >= runs[next].size) left -= runs[next++].size;
        if (next < runs.size()) {
            runs[next].data += left;
            runs[next].size -= left;
        }
    }
    return 0;
}

}  // namespace

std::string parentFolder(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int readWholeFile(const std::string& path, std::string& content) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    content.clear();
    char buffer[65536];
    while (true) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            int err = errno;
            ::close(fd);
            return err;
        }
        if (got == 0) break;
        content.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return 0;
}

int readSmallFile(const std::string& path, std::size_t maxBytes, std::string& content) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return errno;
    content.clear();
    struct stat info {};
    int result = 0;
    if (::fstat(fd, &info) != 0) {
        result = errno;
    } else if (!S_ISREG(info.st_mode)) {
        result = kNotARegularFile;
    } else if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        result = kFileTooLarge;
    }
    // One byte more than allowed tells a file that grew since fstat.
    content.resize(result == 0 ? maxBytes + 1 : 0);
    std::size_t filled = 0;
    while (result == 0) {
        ssize_t got = ::read(fd, content.data() + filled, content.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            result = errno;
        } else if (got == 0) {
            break;
        } else if ((filled += static_cast<std::size_t>(got)) > maxBytes) {
            result = kFileTooLarge;
        }
    }
    content.resize(result == 0 ? filled : 0);
    ::close(fd);
    return result;
}

namespace {

// Writes the bytes to a temporary file beside path, flushed to disk, then puts it in
// place: renamed over path, or (keepExisting) linked to path, which fails with EEXIST
// when path exists.
int placeFile(const std::string& path, const std::vector<ByteRun>& runs, unsigned mode, bool keepExisting) {
    std::string folder = parentFolder(path);
    std::string name = path.substr(path.find_last_of('/') + 1);
    // "." + name + ".XXXXXX" is 8 bytes longer than name: shorten the name part so
    // that any name that fits as the final file also fits as the temporary one.
    constexpr std::size_t kTempExtra = 8;
    if (name.size() + kTempExtra > NAME_MAX) name.resize(NAME_MAX - kTempExtra);
    std::string temp = folder + "/." + name + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    int err = writeAll(fd, runs);
    if (err == 0 && ::fchmod(fd, static_cast<mode_t>(mode)) != 0) err = errno;
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0) {
        int placed = keepExisting ? ::link(temp.c_str(), path.c_str()) : ::rename(temp.c_str(), path.c_str());
        if (placed != 0) err = errno;
    }
    if (err != 0 || keepExisting) ::unlink(temp.c_str());
    if (err != 0) return err;
    // The new name itself must reach the disk too.
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

}  // namespace

int writeFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                        unsigned mode) {
    return placeFile(path, {{data, size}}, mode, false);
}

int writeFileAtomically(const std::string& path, const std::vector<ByteRun>& runs, unsigned mode) {
    return placeFile(path, runs, mode, false);
}

int createFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                         unsigned mode) {
    return placeFile(path, {{data, size}}, mode, true);
}

int makeDirectories(const std::string& path) {
    for (std::size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/') continue;
        std::string prefix = path.substr(0, pos);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

}  // namespace velmora::platform
