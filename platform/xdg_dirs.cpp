#include "platform/xdg_dirs.h"

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

namespace velmora::platform {
namespace {

std::string absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

}  // namespace

std::string homeDirectory() {
    std::string home = absoluteVariable("HOME");
    if (!home.empty()) return home;
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return "/tmp";
}

std::string xdgConfigHome() {
    std::string dir = absoluteVariable("XDG_CONFIG_HOME");
    return dir.empty() ? homeDirectory() + "/.config" : dir;
}

std::string xdgCacheHome() {
    std::string dir = absoluteVariable("XDG_CACHE_HOME");
    return dir.empty() ? homeDirectory() + "/.cache" : dir;
}

std::string xdgDataHome() {
    std::string dir = absoluteVariable("XDG_DATA_HOME");
    return dir.empty() ? homeDirectory() + "/.local/share" : dir;
}

}  // namespace velmora::platform
