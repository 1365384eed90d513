#pragma once
// The Win32 registry calls over a RegistryHive: handles, key paths, value sizes and
// the error codes. Subclasses decide where the hive lives (a file, or memory only).

#include <cstddef>
#include <functional>
#include <map>
#include <string>

#include "platform/registry.h"
#include "platform/registry_hive.h"

namespace velmora::platform {

class MemoryRegistry : public Registry {
public:
    long openKey(RegKey root, const std::string& subKey, std::uint32_t access,
                 RegKey* result) override;
    long createKey(RegKey root, const std::string& subKey, std::uint32_t access,
                   RegKey* result) override;
    long queryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long setValue(RegKey key, const std::string& name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
    long closeKey(RegKey key) override;

    // Handles opened and not yet closed.
    std::size_t openHandleCount() const { return handles_.size(); }

protected:
    using HiveReader = std::function<long(const RegistryHive&)>;
    using HiveWriter = std::function<long(RegistryHive&)>;
    // Runs work on the current content; a writer's changes are kept only when it
    // returns 0. Both return work's code, or their own when the hive is unusable.
    virtual long readHive(const HiveReader& work);
    virtual long changeHive(const HiveWriter& work);

    RegistryHive hive_;

private:
    long resolve(RegKey root, const std::string& subKey, std::string& path) const;
    RegKey newHandle(const std::string& path);

    std::map<RegKey, std::string> handles_;  // handle -> key path
    RegKey nextHandle_ = 1;
};

}  // namespace velmora::platform
