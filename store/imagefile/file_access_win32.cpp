// The file layer of file_access.h with the Win32 calls: UTF-8 paths become UTF-16,
// failures carry GetLastError's code and the system's text.
#include "store/imagefile/file_access.h"

#include <windows.h>

#include "base/error.h"
#include "base/file_replace.h"
#include "base/system_error.h"
#include "base/utf16.h"

namespace velmora {

namespace {

[[noreturn]] void raiseCannotOpen(const std::string& path, DWORD code) {
    throw Error(cannotOpenFileMessage(fullPathName(path), static_cast<unsigned>(code)));
}

HANDLE handleOf(void* handle) {
    return static_cast<HANDLE>(handle);
}

}  // namespace

std::string fullPathForMessage(const std::string& path) {
    return fullPathName(path);
}

InputFile::InputFile(const std::string& path) {
    // A folder cannot be opened without FILE_FLAG_BACKUP_SEMANTICS: it fails here
    // with "access denied", as a folder should.
    HANDLE file = CreateFileW(toUtf16(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        raiseCannotOpen(path, GetLastError());
    }
    LARGE_INTEGER size{};
    // Devices, pipes and consoles are never read.
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        raiseCannotOpen(path, ERROR_ACCESS_DENIED);
    }
    size_ = static_cast<std::uint64_t>(size.QuadPart);
    handle_ = file;
}

InputFile::~InputFile() {
    CloseHandle(handleOf(handle_));
}

std::size_t InputFile::readAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const std::uint64_t at = offset + done;
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        const std::size_t left = count - done;
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD read = 0;
        if (!ReadFile(handleOf(handle_), into + done, chunk, &read, &position)) {
            if (GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            throw Error("Stream read error");
        }
        if (read == 0) {
            break;
        }
        done += read;
    }
    return done;
}

MappedFile::MappedFile(const InputFile& file) {
    if (file.size() == 0 || file.size() > SIZE_MAX) return;
    const auto size = static_cast<std::size_t>(file.size());
    HANDLE mapping = CreateFileMappingW(handleOf(file.handle()), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) return;
    // Asking for the size seen at opening fails if the file has shrunk since: then it is read instead.
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, size);
    // The view keeps the mapping alive.
    CloseHandle(mapping);
    if (!view) return;
    // Read ahead in one go instead of one fault per page, where the system offers it.
    WIN32_MEMORY_RANGE_ENTRY range{view, size};
    PrefetchVirtualMemory(GetCurrentProcess(), 1, &range, 0);
    data_ = static_cast<const std::uint8_t*>(view);
    size_ = size;
}

MappedFile::~MappedFile() {
    if (data_) UnmapViewOfFile(data_);
}

// Windows refuses to shorten a file while a view of it is mapped.
bool MappedFile::intact() const { return true; }

void writeFileReplacing(const std::string& path, const Bytes& bytes) {
    const FileReplaceResult result = replaceFile(path, bytes.data(), bytes.size());
    if (result.error != 0) {
        throw Error(cannotCreateFileMessage(fullPathName(path), result.error));
    }
}

}  // namespace velmora
