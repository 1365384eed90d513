#pragma once
// Holds the user's wallpaper lock for one change, so that two changes (two timers, a
// timer and the window, two --next-wallpaper) run one after the other: the second
// sees the registry, folder and rotation the first left.

#include "platform/change_lock.h"

namespace velmora {

class WallpaperChangeHold {
public:
    // Waits for the lock (none: nothing to wait for); raises Error saying another change
    // is still running when the lock's bound passes, before anything is changed.
    explicit WallpaperChangeHold(platform::ChangeLock* lock);
    ~WallpaperChangeHold();
    WallpaperChangeHold(const WallpaperChangeHold&) = delete;
    WallpaperChangeHold& operator=(const WallpaperChangeHold&) = delete;

private:
    platform::ChangeLock* lock_;
};

}  // namespace velmora
