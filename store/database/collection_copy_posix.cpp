#include "store/database/collection_copy_file.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/system_error.h"
#include "store/database/collection_copy.h"

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

// The copy in progress, for a signal handler: fixed storage, since it may not allocate.
char inProgressFile[PATH_MAX + 16];
char inProgressJournal[PATH_MAX + 16];
volatile sig_atomic_t inProgress = 0;

// Keeps the signals that end a copy waiting while the copy changes state.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, signal);
        pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

void rememberInProgress(const std::string& path) {
    const std::string journal = path + "-journal";
    if (journal.size() >= sizeof inProgressJournal) return;
    SignalsHeld held;
    std::memcpy(inProgressFile, path.c_str(), path.size() + 1);
    std::memcpy(inProgressJournal, journal.c_str(), journal.size() + 1);
    inProgress = 1;
}

// What a copy or its journal starts with, if anything has been written yet.
bool holdsACopy(int fd, bool journal) {
    unsigned char head[16] = {};
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    return got >= 0 && startsLikeACopy(head, static_cast<std::size_t>(got), journal);
}

// Removes path when it is a leftover: a regular file of this user holding what a copy
// holds, which no live copy holds (the flock), still the file that was checked.
bool removeIfLeftover(const std::string& path, bool journal) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat opened {}, named {};
    bool removed = false;
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() &&
        (journal || ::flock(fd, LOCK_EX | LOCK_NB) == 0) && holdsACopy(fd, journal) &&
        ::lstat(path.c_str(), &named) == 0 && named.st_ino == opened.st_ino && named.st_dev == opened.st_dev)
        removed = ::unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
}

}  // namespace

bool fileExists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

void removeFileAndJournal(const std::string& path) {
    ::unlink(path.c_str());
    ::unlink((path + "-journal").c_str());
}

std::string fullPathOf(const std::string& path) {
    std::error_code ignored;
    std::string shown = std::filesystem::absolute(path, ignored).string();
    return shown.empty() ? path : shown;
}

TemporaryCopy::TemporaryCopy(const std::string& target) {
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = folderOf(target) + "/" + temporaryCopyName(entropy());
        // Created with the mode any new file gets (0666 less the umask), like the copy's final name.
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            error_ = win32CreateErrorFromErrno(errno);
            return;
        }
        // Another run's clean-up may have taken the new, empty file for a leftover before
        // the lock: it holds the lock while it removes the file, so then try another name.
        struct stat opened {}, named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
            opened.st_ino == named.st_ino && opened.st_dev == named.st_dev) {
            path_ = path;
            hold_ = fd;
            rememberInProgress(path_);
            return;
        }
        ::close(fd);
    }
    error_ = kErrorFileExists;
}

TemporaryCopy::~TemporaryCopy() {
    if (!path_.empty()) {
        SignalsHeld held;
        inProgress = 0;
        removeFileAndJournal(path_);
    }
    // Only now: closing a descriptor of the file would drop SQLite's locks on it.
    if (hold_ >= 0) ::close(static_cast<int>(hold_));
}

unsigned TemporaryCopy::giveName(const std::string& target) {
    // A signal now waits for the rename: the file is either the copy in progress or the target.
    SignalsHeld held;
    const unsigned error = renameNoReplace(path_, target);
    if (error == 0) {
        inProgress = 0;
        path_.clear();
    }
    return error;
}

void removeLeftoverCopies(const std::string& target) {
    std::error_code error;
    const std::string folder = folderOf(target);
    std::vector<std::string> journals;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (isTemporaryCopyName(name)) {
            if (removeIfLeftover(folder + "/" + name, false)) journals.push_back(folder + "/" + name + "-journal");
        } else if (name.size() > 8 && name.ends_with("-journal") && isTemporaryCopyName(name.substr(0, name.size() - 8)) &&
                   !fileExists(folder + "/" + name.substr(0, name.size() - 8))) {
            journals.push_back(folder + "/" + name);  // its copy is gone
        }
    }
    for (const std::string& journal : journals) removeIfLeftover(journal, true);
}

void removeCopyInProgress() noexcept {
    if (!inProgress) return;
    ::unlink(inProgressFile);
    ::unlink(inProgressJournal);
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
