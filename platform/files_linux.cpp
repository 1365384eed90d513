#include "platform/files_linux.h"

#include <cerrno>
#include <climits>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/drive_folder.h"
#include "platform/posix_file.h"
#include "base/system_error.h"

namespace velmora::platform {
namespace {

bool isDirectory(const std::string& host) {
    struct stat info {};
    return ::stat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int copyContent(int from, int to) {
    std::vector<char> buffer(1 << 20);
    while (true) {
        ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) return 0;
        for (ssize_t done = 0; done < got;) {
            ssize_t written = ::write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (written < 0 && errno == EINTR) continue;
            if (written < 0) return errno;
            done += written;
        }
    }
}

}  // namespace

bool LinuxFiles::fail(unsigned code) {
    lastError_ = code;
    return false;
}

bool LinuxFiles::failWithErrno(int err, const std::string& host) {
    if (err == ENOENT && !isDirectory(parentFolder(host))) return fail(kErrorPathNotFound);
    return fail(win32ErrorFromErrno(err));
}

bool LinuxFiles::map(const std::string& path, std::string& host) {
    if (unsigned code = hostPath(path, host)) return fail(code);
    return true;
}

bool LinuxFiles::deleteFile(const std::string& path) {
    std::string host;
    if (!map(path, host)) return false;
    if (::unlink(host.c_str()) != 0) return failWithErrno(errno, host);
    return true;
}

bool LinuxFiles::removeDirectory(const std::string& path) {
    std::string host;
    if (!map(path, host)) return false;
    if (::rmdir(host.c_str()) == 0) return true;
    switch (errno) {
    case ENOTDIR: return fail(kErrorDirectory);
    case ENOTEMPTY:
    case EEXIST: return fail(kErrorDirNotEmpty);
    default: return failWithErrno(errno, host);
    }
}

bool LinuxFiles::createDirectory(const std::string& path) {
    std::string host;
    if (!map(path, host)) return false;
    if (::mkdir(host.c_str(), 0755) == 0) return true;
    if (errno == EEXIST) return fail(kErrorAlreadyExists);
    return failWithErrno(errno, host);
}

std::uint32_t LinuxFiles::fileAttributes(const std::string& path) {
    std::string host;
    if (!map(path, host)) return kInvalidFileAttributes;
    struct stat info {};
    if (::stat(host.c_str(), &info) != 0) {
        failWithErrno(errno, host);
        return kInvalidFileAttributes;
    }
    if (S_ISDIR(info.st_mode)) return kFileAttributeDirectory;
    return kFileAttributeArchive | ((info.st_mode & S_IWUSR) ? 0 : kFileAttributeReadonly);
}

bool LinuxFiles::createFile(const std::string& path, const Bytes& content) {
    return createFileFromRuns(path, {{content.data(), content.size()}});
}

bool LinuxFiles::createFileFromRuns(const std::string& path, const std::vector<ByteRun>& runs) {
    std::string host;
    if (!map(path, host)) return false;
    if (isDirectory(host)) return fail(kErrorAccessDenied);
    if (int err = writeFileAtomically(host, runs, 0644)) return failWithErrno(err, host);
    return true;
}

bool LinuxFiles::copyFile(const std::string& existingPath, const std::string& newPath,
                          bool failIfExists) {
    std::string source;
    std::string target;
    if (!map(existingPath, source) || !map(newPath, target)) return false;
    int from = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) return failWithErrno(errno, source);
    if (isDirectory(source)) {
        ::close(from);
        return fail(kErrorAccessDenied);
    }
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (failIfExists ? O_EXCL : O_TRUNC);
    int to = ::open(target.c_str(), flags, 0644);
    if (to < 0) {
        int err = errno;
        ::close(from);
        if (err == EEXIST) return fail(kErrorFileExists);
        return failWithErrno(err, target);
    }
    int err = copyContent(from, to);
    if (err == 0 && ::fsync(to) != 0) err = errno;
    if (::close(to) != 0 && err == 0) err = errno;
    ::close(from);
    if (err != 0) {
        ::unlink(target.c_str());  // no half-copied file stays behind
        return fail(win32ErrorFromErrno(err));
    }
    return true;
}

std::string LinuxFiles::currentDirectory() {
    std::vector<char> buffer(PATH_MAX);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            fail(win32ErrorFromErrno(errno));
            return "";
        }
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

}  // namespace velmora::platform
