#pragma once
// Where the program keeps the user's settings: named text values, read and written
// as a whole. A store that is damaged raises Error on load and on save and is never
// written over, so nothing the user had is lost.

#include <map>
#include <string>

namespace velmora::platform {

using SettingValues = std::map<std::string, std::string>;

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Every value; none when nothing was ever saved.
    virtual SettingValues load() = 0;
    // Replaces the stored values with these.
    virtual void save(const SettingValues& values) = 0;
};

}  // namespace velmora::platform
