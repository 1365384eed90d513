#pragma once
// One change at a time per user: a lock shared by every process of the user, so that
// a change made of several steps (the wallpaper's file, folder, registry value and
// desktop setting) never interleaves with another one. One implementation per system:
// change_lock_linux.cpp (flock on a file in the user's data folder), change_lock_win32.cpp
// (a named mutex of the user's session).

#include <chrono>
#include <cstdint>
#include <string>

namespace velmora::platform {

class ChangeLock {
public:
    virtual ~ChangeLock() = default;
    // Waits until no other holder has the lock, at most bound(); returns whether it is
    // held now. Not re-entrant: a holder must not ask again before release().
    virtual bool acquire() = 0;
    virtual void release() = 0;
    virtual std::chrono::milliseconds bound() const = 0;
};

constexpr std::chrono::milliseconds kChangeLockBound = std::chrono::seconds(30);

// The user's lock called `name`. Where the system gives no way to hold it (a data
// folder that cannot be written), acquire() succeeds without a lock, as before there was one.
class UserChangeLock final : public ChangeLock {
public:
    explicit UserChangeLock(std::string name, std::chrono::milliseconds bound = kChangeLockBound);
    ~UserChangeLock() override;
    UserChangeLock(const UserChangeLock&) = delete;
    UserChangeLock& operator=(const UserChangeLock&) = delete;

    bool acquire() override;
    void release() override;
    std::chrono::milliseconds bound() const override { return bound_; }

private:
    std::string name_;
    std::chrono::milliseconds bound_;
    std::intptr_t handle_ = -1;  // the lock file's descriptor, or the mutex's handle
};

}  // namespace velmora::platform
