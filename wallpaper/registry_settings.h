#pragma once
// Settings as REG_SZ values of HKEY_CURRENT_USER\Software\Velmora\Wallpaper, where
// Windows programs keep theirs. The registry lists no values here, so the store reads
// the names it is given; an empty value counts as absent, which is how save() removes one.

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/settings_store.h"

namespace velmora {

inline constexpr const char* kSettingsKey = "Software\\Velmora\\Wallpaper";

class RegistrySettings : public platform::SettingsStore {
public:
    RegistrySettings(platform::Registry& registry, std::vector<std::string> names)
        : registry_(registry), names_(std::move(names)) {}

    // Raises the registry's "Invalid data type for '<name>'" for a value that is no string.
    platform::SettingValues load() override;
    // Raises "Failed to set data for '<name>'".
    void save(const platform::SettingValues& values) override;

private:
    platform::Registry& registry_;
    std::vector<std::string> names_;
};

}  // namespace velmora
