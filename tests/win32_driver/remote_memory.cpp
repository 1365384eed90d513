#include "tests/win32_driver/remote_memory.h"

#include <string>

#include "tests/win32_driver/step.h"

namespace velmora::driver {

RemoteMemory::RemoteMemory(HANDLE process, std::size_t size)
    : process_(process),
      block_(static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))),
      size_(size) {
    const DWORD error = GetLastError();
    require(block_ != nullptr, "no memory in the program's process (error " + std::to_string(error) + ")");
}

RemoteMemory::~RemoteMemory() { VirtualFreeEx(process_, block_, 0, MEM_RELEASE); }

LPARAM RemoteMemory::address(std::size_t offset) const { return reinterpret_cast<LPARAM>(block_ + offset); }

void RemoteMemory::write(const void* data, std::size_t size, std::size_t offset) {
    require(offset + size <= size_ && WriteProcessMemory(process_, block_ + offset, data, size, nullptr),
            "cannot write into the program's process");
}

void RemoteMemory::read(void* data, std::size_t size, std::size_t offset) const {
    require(offset + size <= size_ && ReadProcessMemory(process_, block_ + offset, data, size, nullptr),
            "cannot read from the program's process");
}

}  // namespace velmora::driver
