#include "base/file_replace.h"

#include <windows.h>

#include <atomic>

#include "base/utf16.h"

namespace velmora {
namespace {

// The folder part of a path, separator included ("" for a bare name).
std::wstring folderOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

// A new, empty file beside the target (MoveFileExW cannot cross volumes);
// CREATE_NEW settles races with other writers.
HANDLE createSibling(const std::wstring& target, std::wstring& name) {
    static std::atomic<unsigned> counter{0};
    for (;;) {
        name = folderOf(target) + L".velmora-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(counter++) + L".tmp";
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
}

bool writeAll(HANDLE file, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

FileReplaceResult replaceFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const std::wstring target = toUtf16(path);
    // A folder or a read-only file is never replaced, as opening it for writing would fail.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        return {ERROR_ACCESS_DENIED, false};

    std::wstring temporary;
    HANDLE file = createSibling(target, temporary);
    if (file == INVALID_HANDLE_VALUE) return {static_cast<unsigned>(GetLastError()), false};
    const bool written = writeAll(file, data, size) && FlushFileBuffers(file);
    DWORD error = written ? 0 : GetLastError();
    if (!CloseHandle(file) && written) error = GetLastError();
    if (error != 0) {
        DeleteFileW(temporary.c_str());
        return {static_cast<unsigned>(error), true};
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        DeleteFileW(temporary.c_str());
        return {static_cast<unsigned>(error), false};
    }
    return {};
}

std::string fullPathName(const std::string& path) {
    const std::wstring wide = toUtf16(path);
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    const DWORD used = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    if (used == 0 || used >= length) return path;
    full.resize(used);
    return fromUtf16(full);
}

}  // namespace velmora
