#pragma once
// Reading and writing one string value of an open registry key, with the
// errors the wallpaper command reports, and a guard that closes a key.

#include <string>

#include "platform/registry.h"

namespace velmora {

// Closes the key it holds on every way out of a scope; holds nothing when the
// open or create that should fill it failed.
class OpenRegistryKey {
public:
    explicit OpenRegistryKey(platform::Registry& registry) : registry_(registry) {}
    ~OpenRegistryKey() { close(); }
    OpenRegistryKey(const OpenRegistryKey&) = delete;
    OpenRegistryKey& operator=(const OpenRegistryKey&) = delete;

    platform::RegKey* handle() { return &key_; }
    platform::RegKey key() const { return key_; }
    void close();

private:
    platform::Registry& registry_;
    platform::RegKey key_ = platform::kNoKey;
};

// The text of the value up to its first zero byte; "" when the value is missing,
// empty or the key not open. Raises "Failed to get data for '<name>'" when the
// data cannot be read, "Invalid data type for '<name>'" when it is not REG_SZ or
// REG_EXPAND_SZ (which is not expanded).
std::string readRegistryString(platform::Registry& registry, platform::RegKey key,
                               const std::string& name);

// "Failed to set data for '<name>'".
std::string failedToSetDataMessage(const std::string& name);

// Stores text as REG_SZ with its zero byte. Raises "Failed to set data for '<name>'".
void writeRegistryString(platform::Registry& registry, platform::RegKey key,
                         const std::string& name, const std::string& text);

}  // namespace velmora
