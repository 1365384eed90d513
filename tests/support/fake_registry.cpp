#include "tests/support/fake_registry.h"

#include <cstdio>

namespace velmora::platform {
namespace {

std::string keyName(RegKey key) {
    if (key == kHkeyCurrentUser) return "HKCU";
    return "key#" + std::to_string(key);
}

std::string plainHex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace

long FakeRegistry::openKey(RegKey root, const std::string& subKey, std::uint32_t access,
                           RegKey* result) {
    long code = MemoryRegistry::openKey(root, subKey, access, result);
    log_.add("RegOpenKeyEx(" + keyName(root) + ", " + subKey + ", " + plainHex(access) + ") = " +
             std::to_string(code) + (code == 0 ? " " + keyName(*result) : ""));
    return code;
}

long FakeRegistry::createKey(RegKey root, const std::string& subKey, std::uint32_t access,
                             RegKey* result) {
    long code = failCreateKey;
    if (code != 0) {
        *result = kNoKey;
    } else {
        code = MemoryRegistry::createKey(root, subKey, access, result);
    }
    log_.add("RegCreateKeyEx(" + keyName(root) + ", " + subKey + ", " + plainHex(access) + ") = " +
             std::to_string(code) + (code == 0 ? " " + keyName(*result) : ""));
    return code;
}

long FakeRegistry::queryValue(RegKey key, const std::string& name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* size) {
    long code = data != nullptr && failQueryData != 0
                    ? failQueryData
                    : MemoryRegistry::queryValue(key, name, type, data, size);
    log_.add("RegQueryValueEx(" + keyName(key) + ", " + name + (data ? ", data" : ", size") +
             ") = " + std::to_string(code));
    return code;
}

long FakeRegistry::setValue(RegKey key, const std::string& name, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size) {
    long code = failSetValue != 0 ? failSetValue
                                  : MemoryRegistry::setValue(key, name, type, data, size);
    log_.add("RegSetValueEx(" + keyName(key) + ", " + name + ", type " + std::to_string(type) +
             ", " + std::to_string(size) + " bytes) = " + std::to_string(code));
    return code;
}

long FakeRegistry::closeKey(RegKey key) {
    long code = MemoryRegistry::closeKey(key);
    log_.add("RegCloseKey(" + keyName(key) + ") = " + std::to_string(code));
    return code;
}

void FakeRegistry::putValue(const std::string& keyPath, const std::string& name,
                            std::uint32_t type, Bytes data) {
    hive_.setValue(hive_.create(keyPath), name, type, std::move(data));
}

void FakeRegistry::putKey(const std::string& keyPath) {
    hive_.create(keyPath);
}

std::optional<RegistryValue> FakeRegistry::value(const std::string& keyPath,
                                                 const std::string& name) const {
    const RegistryKey* key = hive_.find(keyPath);
    const RegistryValue* found = key ? RegistryHive::findValue(*key, name) : nullptr;
    return found ? std::optional<RegistryValue>(*found) : std::nullopt;
}

bool FakeRegistry::hasKey(const std::string& keyPath) const {
    return hive_.find(keyPath) != nullptr;
}

}  // namespace velmora::platform
