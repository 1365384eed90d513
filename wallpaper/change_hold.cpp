#include "wallpaper/change_hold.h"

#include "base/error.h"
#include "base/wait_text.h"

namespace velmora {

WallpaperChangeHold::WallpaperChangeHold(platform::ChangeLock* lock) : lock_(lock) {
    if (lock_ && !lock_->acquire())
        throw Error("Another wallpaper change is still running after " + waitText(lock_->bound()) +
                    ": the wallpaper was not changed");
}

WallpaperChangeHold::~WallpaperChangeHold() {
    if (lock_) lock_->release();
}

}  // namespace velmora
