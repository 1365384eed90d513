#include "store/database/collection_copy_file.h"

#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/system_error.h"

namespace velmora {

namespace {

std::string folderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// The new name lives in the folder's entries: sync them too.
void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool fileExists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

std::string fullPathOf(const std::string& path) {
    std::error_code ignored;
    std::string shown = std::filesystem::absolute(path, ignored).string();
    return shown.empty() ? path : shown;
}

TemporaryFile createTemporaryBeside(const std::string& target) {
    std::string temporary = folderOf(target) + "/.vlm-XXXXXX";
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return {{}, win32CreateErrorFromErrno(errno)};
    // mkostemp makes it private; the copy gets the mode any new file would.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return {temporary, 0};
}

// renameat2's NOREPLACE where the file system has it, else a hard link (which fails
// on an existing name) and the removal of the old name.
unsigned renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
        const int err = errno;
        if (err != EINVAL && err != ENOSYS) return err == EEXIST ? kErrorFileExists : win32CreateErrorFromErrno(err);
        if (::link(from.c_str(), to.c_str()) != 0)
            return errno == EEXIST ? kErrorFileExists : win32CreateErrorFromErrno(errno);
        ::unlink(from.c_str());
    }
    syncFolder(folderOf(to));
    return 0;
}

void removeFile(const std::string& path) {
    ::unlink(path.c_str());
}

EarlyWriteback::EarlyWriteback(const std::string& path) : fd_(::open(path.c_str(), O_WRONLY | O_CLOEXEC)) {}

EarlyWriteback::~EarlyWriteback() {
    if (fd_ >= 0) ::close(fd_);
}

void EarlyWriteback::written(std::int64_t offset, std::int64_t length) {
    // Only starts the writing; whether it worked shows at the final sync.
    if (fd_ >= 0) ::sync_file_range(fd_, offset, length, SYNC_FILE_RANGE_WRITE);
}

}  // namespace velmora
