#pragma once
// The platform services a command uses, handed to it as one bundle so that tests
// give it fakes and the program gives it the real ones (linux_platform.h).

#include "platform/change_lock.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace velmora::platform {

struct Platform {
    Registry& registry;
    Files& files;
    Desktop& desktop;
    // Held around each wallpaper change; none where the services are fakes of one process.
    ChangeLock* wallpaperLock = nullptr;
};

}  // namespace velmora::platform
