#include "wallpaper/registry_settings.h"

#include "wallpaper/folder_chain.h"
#include "wallpaper/registry_string.h"
#include "wallpaper/wallpaper_location.h"

namespace velmora {

using namespace platform;

SettingValues RegistrySettings::load() {
    SettingValues values;
    OpenRegistryKey key(registry_);
    if (registry_.openKey(kHkeyCurrentUser, key_, kKeyRead, key.handle()) != 0) return values;
    for (const std::string& name : names_) {
        std::string value = readRegistryString(registry_, key.key(), name);
        if (!value.empty()) values[name] = value;
    }
    return values;
}

void RegistrySettings::save(const SettingValues& values) {
    bool commandKeyExisted = false;
    {
        OpenRegistryKey commandKey(registry_);
        commandKeyExisted =
            registry_.openKey(kHkeyCurrentUser, registryKeyPath(kWallpaperKey), kKeyQueryAndEnumerate, commandKey.handle()) == 0;
    }
    if (!commandKeyExisted) createFolderChain(files_, kWallpaperFolder);
    OpenRegistryKey key(registry_);
    registry_.createKey(kHkeyCurrentUser, key_, kKeyAllAccess, key.handle());
    for (const std::string& name : names_) {
        auto found = values.find(name);
        writeRegistryString(registry_, key.key(), name, found == values.end() ? "" : found->second);
    }
}

}  // namespace velmora
