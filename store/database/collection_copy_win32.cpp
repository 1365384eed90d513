#include "store/database/collection_copy_file.h"

#include <windows.h>

#include <atomic>

#include "base/file_replace.h"
#include "base/system_error.h"
#include "base/utf16.h"

namespace velmora {

namespace {

// The folder part of a path, separator included ("" for a bare name).
std::string folderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

}  // namespace

bool fileExists(const std::string& path) {
    return GetFileAttributesW(toUtf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string fullPathOf(const std::string& path) {
    return fullPathName(path);
}

TemporaryFile createTemporaryBeside(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    for (;;) {
        std::string name = folderOf(target) + ".vlm-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(counter++);
        // CREATE_NEW settles races with other writers: a name in use is never opened.
        HANDLE file = CreateFileW(toUtf16(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return {name, 0};
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS) return {{}, static_cast<unsigned>(error)};
    }
}

unsigned renameNoReplace(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes the move fail.
    if (MoveFileExW(toUtf16(from).c_str(), toUtf16(to).c_str(), MOVEFILE_WRITE_THROUGH)) return 0;
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS ? kErrorFileExists : static_cast<unsigned>(error);
}

void removeFile(const std::string& path) {
    DeleteFileW(toUtf16(path).c_str());
}

EarlyWriteback::EarlyWriteback(const std::string&) {}

EarlyWriteback::~EarlyWriteback() = default;

void EarlyWriteback::written(std::int64_t, std::int64_t) {}

}  // namespace velmora
