#include "store/database/collection_copy_file.h"

#include <windows.h>

#include <cstring>
#include <random>
#include <vector>

#include "base/file_replace.h"
#include "base/system_error.h"
#include "base/utf16.h"
#include "store/database/collection_copy.h"

namespace velmora {

namespace {

// The folder part of a path, separator included ("" for a bare name).
std::string folderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// Whether the file starts as a copy or its journal starts, if anything is written yet.
bool holdsACopy(const std::string& path, bool journal) {
    HANDLE file = CreateFileW(toUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    unsigned char head[16] = {};
    DWORD got = 0;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool plain = GetFileInformationByHandle(file, &info) &&
                       !(info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY));
    const bool read = plain && ReadFile(file, head, sizeof head, &got, nullptr);
    CloseHandle(file);
    if (!read) return false;
    return startsLikeACopy(head, static_cast<std::size_t>(got), journal);
}

// A live copy keeps its file open without sharing deletion, so the removal fails then.
bool removeIfLeftover(const std::string& path, bool journal) {
    return holdsACopy(path, journal) && DeleteFileW(toUtf16(path).c_str());
}

}  // namespace

bool fileExists(const std::string& path) {
    return GetFileAttributesW(toUtf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeFileAndJournal(const std::string& path) {
    DeleteFileW(toUtf16(path).c_str());
    DeleteFileW(toUtf16(path + "-journal").c_str());
}

std::string fullPathOf(const std::string& path) {
    return fullPathName(path);
}

TemporaryCopy::TemporaryCopy(const std::string& target) {
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = folderOf(target) + temporaryCopyName(entropy());
        // CREATE_NEW settles races with other writers: a name in use is never opened. The
        // handle stays open, sharing reading and writing with SQLite but not deletion.
        HANDLE file = CreateFileW(toUtf16(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            path_ = path;
            hold_ = reinterpret_cast<std::intptr_t>(file);
            return;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS) {
            error_ = static_cast<unsigned>(error);
            return;
        }
    }
    error_ = kErrorFileExists;
}

TemporaryCopy::~TemporaryCopy() {
    if (hold_ != -1) CloseHandle(reinterpret_cast<HANDLE>(hold_));
    if (!path_.empty()) removeFileAndJournal(path_);
}

unsigned TemporaryCopy::giveName(const std::string& target) {
    // The move needs the file free of handles that do not share deletion.
    CloseHandle(reinterpret_cast<HANDLE>(hold_));
    hold_ = -1;
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes the move fail.
    if (MoveFileExW(toUtf16(path_).c_str(), toUtf16(target).c_str(), MOVEFILE_WRITE_THROUGH)) {
        path_.clear();
        return 0;
    }
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS ? kErrorFileExists : static_cast<unsigned>(error);
}

void removeLeftoverCopies(const std::string& target) {
    const std::string folder = folderOf(target);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(toUtf16(folder + ".vlm-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> copies, journals;
    do {
        const std::string name = fromUtf16(found.cFileName);
        if (isTemporaryCopyName(name)) copies.push_back(folder + name);
        else if (name.size() > 8 && name.ends_with("-journal") && isTemporaryCopyName(name.substr(0, name.size() - 8)))
            journals.push_back(folder + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const std::string& copy : copies) removeIfLeftover(copy, false);
    // A journal goes once its copy is gone.
    for (const std::string& journal : journals)
        if (!fileExists(journal.substr(0, journal.size() - 8))) removeIfLeftover(journal, true);
}

// Windows keeps a file open by SQLite from being removed; the next copy into the folder removes it.
void removeCopyInProgress() noexcept {}

EarlyWriteback::EarlyWriteback(const std::string&) {}

EarlyWriteback::~EarlyWriteback() = default;

void EarlyWriteback::written(std::int64_t, std::int64_t) {}

}  // namespace velmora
