#pragma once
// The content of one registry branch in memory: keys by path, each with typed values.
// Key paths and value names are matched without regard to ASCII letter case and
// keep the spelling they were created with.

#include <cstdint>
#include <map>
#include <string>

#include "base/bytes.h"

namespace velmora::platform {

struct RegistryValue {
    std::string name;
    std::uint32_t type = 0;
    Bytes data;
    bool operator==(const RegistryValue&) const = default;
};

struct RegistryKey {
    std::string path;                            // "Software\Velmora"; "" is the root
    std::map<std::string, RegistryValue> values;  // by folded name
    bool operator==(const RegistryKey&) const = default;
};

// Turns "\software\\Velmora\" style input into "software\Velmora": leading and
// trailing backslashes go; false when a component inside is empty.
bool normaliseKeyPath(const std::string& path, std::string& normalised);

class RegistryHive {
public:
    RegistryHive();

    RegistryKey* find(const std::string& path);
    const RegistryKey* find(const std::string& path) const;
    // The key at a normalised path, created with every missing key above it.
    RegistryKey& create(const std::string& path);

    void setValue(RegistryKey& key, const std::string& name, std::uint32_t type, Bytes data);
    static const RegistryValue* findValue(const RegistryKey& key, const std::string& name);

    // Every key, ordered by folded path, so parents come before their children.
    const std::map<std::string, RegistryKey>& keys() const { return keys_; }
    bool operator==(const RegistryHive&) const = default;

private:
    std::map<std::string, RegistryKey> keys_;
};

}  // namespace velmora::platform
