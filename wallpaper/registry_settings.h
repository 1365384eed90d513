#pragma once
// Settings as REG_SZ values of HKEY_CURRENT_USER\Software\Velmora\Wallpaper (or another
// key of the program's), where Windows programs keep theirs. The registry lists no values here, so the store reads
// the names it is given; an empty value counts as absent, which is how save() removes one.

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/settings_store.h"

namespace velmora {

inline constexpr const char* kSettingsKey = "Software\\Velmora\\Wallpaper";
// The program's own settings, such as the interface language.
inline constexpr const char* kProgramSettingsKey = "Software\\Velmora";

class RegistrySettings : public platform::SettingsStore {
public:
    RegistrySettings(platform::Registry& registry, platform::Files& files, std::vector<std::string> names,
                     std::string key = kSettingsKey)
        : registry_(registry), files_(files), names_(std::move(names)), key_(std::move(key)) {}

    // Raises the registry's "Invalid data type for '<name>'" for a value that is no string.
    platform::SettingValues load() override;
    // Raises "Failed to set data for '<name>'". Where this makes HKCU\Software\Velmora,
    // the wallpaper folder is made too: the wallpaper command takes an existing key to
    // mean that its folder exists, and would otherwise fail to remove it ("File not found").
    void save(const platform::SettingValues& values) override;

private:
    platform::Registry& registry_;
    platform::Files& files_;
    std::vector<std::string> names_;
    std::string key_;  // below HKEY_CURRENT_USER
};

}  // namespace velmora
