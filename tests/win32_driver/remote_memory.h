#pragma once
// A block of memory inside another process, for the messages whose arguments are
// pointers the receiving window writes through (list view items, rectangles).

#include <windows.h>

#include <cstddef>

namespace velmora::driver {

class RemoteMemory {
public:
    // Raises StepFailure when process (opened with VM access) gives no memory.
    RemoteMemory(HANDLE process, std::size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    // The block's address in the other process, at offset.
    LPARAM address(std::size_t offset = 0) const;
    void write(const void* data, std::size_t size, std::size_t offset = 0);
    void read(void* data, std::size_t size, std::size_t offset = 0) const;

private:
    HANDLE process_;
    char* block_;
    std::size_t size_;
};

}  // namespace velmora::driver
