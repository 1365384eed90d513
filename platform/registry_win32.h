#pragma once
// HKEY_CURRENT_USER through the Win32 registry calls (RegOpenKeyExW, RegCreateKeyExW,
// RegQueryValueExW, RegSetValueExW, RegCloseKey). The interface's 32-bit handles
// index a table of the system's HKEYs. Key and value names and string data are
// UTF-8 here and UTF-16 in the registry, so Chinese names survive; sizes of string
// values are counted in UTF-8 bytes, their terminating zero included.

#include <map>

#include "platform/registry.h"

struct HKEY__;

namespace velmora::platform {

class WindowsRegistry : public Registry {
public:
    WindowsRegistry() = default;
    ~WindowsRegistry() override;
    WindowsRegistry(const WindowsRegistry&) = delete;
    WindowsRegistry& operator=(const WindowsRegistry&) = delete;

    long openKey(RegKey root, const std::string& subKey, std::uint32_t access,
                 RegKey* result) override;
    long createKey(RegKey root, const std::string& subKey, std::uint32_t access,
                   RegKey* result) override;
    long queryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long setValue(RegKey key, const std::string& name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
    long closeKey(RegKey key) override;

    std::size_t openHandleCount() const { return handles_.size(); }

private:
    // The system's key for a handle of ours or kHkeyCurrentUser; nullptr when unknown.
    HKEY__* systemKey(RegKey key) const;
    RegKey remember(HKEY__* key);

    std::map<RegKey, HKEY__*> handles_;
    RegKey nextHandle_ = 1;
};

}  // namespace velmora::platform
