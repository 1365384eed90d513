#pragma once
// Reading and replacing files, failing with the product's file messages.

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/bytes.h"

namespace velmora {

// A regular file open for reading, closed when dropped.
class InputFile {
public:
    // Raises "Cannot open file "<full path>". <system text>" when it cannot be opened,
    // also for a folder or a device, which are never read.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The size when it was opened.
    std::uint64_t size() const { return size_; }
#ifdef _WIN32
    void* handle() const { return handle_; }
#else
    int descriptor() const { return fd_; }
#endif
    // Up to count bytes from offset; fewer only where the file ends. Raises
    // "Stream read error" when reading fails.
    std::size_t readAt(std::uint64_t offset, std::uint8_t* into, std::size_t count);

private:
#ifdef _WIN32
    void* handle_ = nullptr;  // HANDLE (file_access_win32.cpp)
#else
    int fd_ = -1;
#endif
    std::uint64_t size_ = 0;
};

// An open file mapped into memory for reading, read ahead in one go: large files are
// read without a copy into a buffer first. Unmapped when dropped.
class MappedFile {
public:
    // data() is null when the file cannot be mapped (empty, or mapping refused):
    // read it through the InputFile then.
    explicit MappedFile(const InputFile& file);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    // False when the file was shortened by another program while it was mapped: the
    // bytes past its new end then read as zeros, and what was read must be dropped.
    bool intact() const;

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    int guard_ = -1;
};

// Every byte of a regular file, with InputFile's errors.
Bytes readFileBytes(const std::string& path);

// Replaces path with bytes: they go to a new file beside it, which is renamed over
// path only once complete, so path never holds a partial file. Raises
// "Cannot create file "<full path>". <system text>"; path is then unchanged.
void writeFileReplacing(const std::string& path, const Bytes& bytes);

// The path as the file messages show it: made absolute against the current directory.
std::string fullPathForMessage(const std::string& path);

}  // namespace velmora
