#pragma once
// The file steps of copyCollection, one implementation per system
// (collection_copy_posix.cpp, collection_copy_win32.cpp). Paths are UTF-8;
// failures are Win32 error codes, as the file messages show them.

#include <cstdint>
#include <string>

namespace velmora {

bool fileExists(const std::string& path);

// The path made absolute against the current directory, as messages show it.
std::string fullPathOf(const std::string& path);

struct TemporaryFile {
    std::string path;    // the new file's name, empty on failure
    unsigned error = 0;  // why it could not be created
};

// Creates a new, empty file with a short unused name in target's folder (so the
// final rename stays on one volume, and the name fits wherever target's fits),
// with the permissions any new file there would get.
TemporaryFile createTemporaryBeside(const std::string& target);

// Gives the complete file at from the name to, durably, and never replaces an
// existing file: 0, or the error (kErrorFileExists when to exists). from is left
// for the caller to remove on failure.
unsigned renameNoReplace(const std::string& from, const std::string& to);

// Removes a file, ignoring a missing one.
void removeFile(const std::string& path);

// Has the system start writing a file's pieces to disk while the rest is still being
// copied, so that the final sync finds little left to write (Linux); elsewhere the
// final sync does it all.
class EarlyWriteback {
public:
    explicit EarlyWriteback(const std::string& path);
    ~EarlyWriteback();
    EarlyWriteback(const EarlyWriteback&) = delete;
    EarlyWriteback& operator=(const EarlyWriteback&) = delete;
    void written(std::int64_t offset, std::int64_t length);

private:
    int fd_ = -1;
};

}  // namespace velmora
