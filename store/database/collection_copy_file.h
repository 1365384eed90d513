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

// Removes the file at path and its journal, where they exist.
void removeFileAndJournal(const std::string& path);

// Temporary copies are named ".vlm-" and six letters or digits, the last two a check
// of the four before, so that a later run can tell its own leftovers from another
// program's files (collection_copy_name.cpp).
std::string temporaryCopyName(std::uint32_t random);
bool isTemporaryCopyName(const std::string& name);
// Whether the first bytes of a file (got of them, up to 16) are what a temporary copy
// or its journal starts with at any moment: nothing yet, zeros where SQLite has not yet
// written page 1 or the header, or SQLite's own header.
bool startsLikeACopy(const unsigned char* head, std::size_t got, bool journal);

// The new file a copy is written to, in target's folder (so the final rename stays on
// one volume): created empty with the permissions any new file there would get, held
// by this process while it lives (no other run takes it for a leftover), and known to
// removeCopyInProgress(). Dropped before it was given its name, it removes the file
// and its journal.
class TemporaryCopy {
public:
    explicit TemporaryCopy(const std::string& target);
    ~TemporaryCopy();
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    const std::string& path() const { return path_; }
    unsigned error() const { return error_; }  // why it could not be created; 0 when it was
    // Gives the complete file the name target, durably, never replacing an existing
    // file: 0, or the error (kErrorFileExists when target exists).
    unsigned giveName(const std::string& target);

private:
    std::string path_;
    unsigned error_ = 0;
    std::intptr_t hold_ = -1;
};

// Removes, from target's folder, temporary copies and journals of earlier runs that
// ended without cleaning up (killed): only files by that name that hold what a copy
// holds, belong to this user and no live process holds.
void removeLeftoverCopies(const std::string& target);

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
