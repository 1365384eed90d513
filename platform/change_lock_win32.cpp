#include "platform/change_lock.h"

#include <windows.h>

#include "base/utf16.h"

namespace velmora::platform {

UserChangeLock::UserChangeLock(std::string name, std::chrono::milliseconds bound)
    : name_(std::move(name)), bound_(bound) {}

UserChangeLock::~UserChangeLock() { release(); }

bool UserChangeLock::acquire() {
    // "Local\": one per logon session, that is per user at the desktop. A holder that
    // dies abandons the mutex, and the next waiter gets it.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, toUtf16("Local\\Velmora-" + name_).c_str());
    if (mutex == nullptr) return true;
    const DWORD waited = WaitForSingleObject(mutex, static_cast<DWORD>(bound_.count()));
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return waited != WAIT_TIMEOUT;
    }
    handle_ = reinterpret_cast<std::intptr_t>(mutex);
    return true;
}

void UserChangeLock::release() {
    if (handle_ == -1) return;
    HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    handle_ = -1;
}

}  // namespace velmora::platform
