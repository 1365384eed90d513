#include "platform/memory_registry.h"

#include <algorithm>

#include "base/system_error.h"

namespace velmora::platform {

long MemoryRegistry::readHive(const HiveReader& work) {
    return work(hive_);
}

long MemoryRegistry::changeHive(const HiveWriter& work) {
    RegistryHive changed = hive_;
    long result = work(changed);
    if (result == kErrorSuccess) hive_ = std::move(changed);
    return result;
}

long MemoryRegistry::resolve(RegKey root, const std::string& subKey, std::string& path) const {
    std::string base;
    if (root != kHkeyCurrentUser) {
        auto it = handles_.find(root);
        if (it == handles_.end()) return kErrorInvalidHandle;
        base = it->second;
    }
    std::string relative;
    if (!normaliseKeyPath(subKey, relative)) return kErrorBadPathname;
    path = base.empty() ? relative : relative.empty() ? base : base + "\\" + relative;
    return kErrorSuccess;
}

RegKey MemoryRegistry::newHandle(const std::string& path) {
    RegKey handle = nextHandle_++;
    handles_[handle] = path;
    return handle;
}

long MemoryRegistry::openKey(RegKey root, const std::string& subKey, std::uint32_t,
                             RegKey* result) {
    *result = kNoKey;
    std::string path;
    if (long code = resolve(root, subKey, path)) return code;
    long code = readHive([&](const RegistryHive& hive) -> long {
        return hive.find(path) ? kErrorSuccess : kErrorFileNotFound;
    });
    if (code == kErrorSuccess) *result = newHandle(path);
    return code;
}

long MemoryRegistry::createKey(RegKey root, const std::string& subKey, std::uint32_t,
                               RegKey* result) {
    *result = kNoKey;
    std::string path;
    if (long code = resolve(root, subKey, path)) return code;
    long code = changeHive([&](RegistryHive& hive) -> long {
        hive.create(path);
        return kErrorSuccess;
    });
    if (code == kErrorSuccess) *result = newHandle(path);
    return code;
}

long MemoryRegistry::queryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* size) {
    std::string path;
    if (long code = resolve(key, "", path)) return code;
    if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
    return readHive([&](const RegistryHive& hive) -> long {
        const RegistryKey* found = hive.find(path);
        if (found == nullptr) return kErrorKeyDeleted;
        const RegistryValue* value = RegistryHive::findValue(*found, name);
        if (value == nullptr) return kErrorFileNotFound;
        if (type != nullptr) *type = value->type;
        auto length = static_cast<std::uint32_t>(value->data.size());
        if (data != nullptr && *size < length) {
            *size = length;
            return kErrorMoreData;
        }
        if (data != nullptr) std::copy(value->data.begin(), value->data.end(), data);
        if (size != nullptr) *size = length;
        return kErrorSuccess;
    });
}

long MemoryRegistry::setValue(RegKey key, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) {
    std::string path;
    if (long code = resolve(key, "", path)) return code;
    if (data == nullptr && size != 0) return kErrorInvalidParameter;
    return changeHive([&](RegistryHive& hive) -> long {
        RegistryKey* found = hive.find(path);
        if (found == nullptr) return kErrorKeyDeleted;
        hive.setValue(*found, name, type, Bytes(data, data + size));
        return kErrorSuccess;
    });
}

long MemoryRegistry::closeKey(RegKey key) {
    if (key == kHkeyCurrentUser) return kErrorSuccess;
    return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace velmora::platform
