#include "platform/registry_win32.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "base/utf16.h"

namespace velmora::platform {
namespace {

bool isStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

std::wstring keyPath(const std::string& subKey) {
    return toUtf16(!subKey.empty() && subKey[0] == '\\' ? subKey.substr(1) : subKey);
}

}  // namespace

WindowsRegistry::~WindowsRegistry() {
    for (const auto& [handle, key] : handles_) RegCloseKey(key);
}

HKEY__* WindowsRegistry::systemKey(RegKey key) const {
    if (key == kHkeyCurrentUser) return HKEY_CURRENT_USER;
    auto found = handles_.find(key);
    return found == handles_.end() ? nullptr : found->second;
}

RegKey WindowsRegistry::remember(HKEY__* key) {
    while (nextHandle_ == kNoKey || nextHandle_ == kHkeyCurrentUser || handles_.count(nextHandle_)) ++nextHandle_;
    handles_[nextHandle_] = key;
    return nextHandle_++;
}

long WindowsRegistry::openKey(RegKey root, const std::string& subKey, std::uint32_t access,
                              RegKey* result) {
    *result = kNoKey;
    HKEY parent = systemKey(root);
    if (parent == nullptr) return ERROR_INVALID_HANDLE;
    HKEY key = nullptr;
    const LONG code = RegOpenKeyExW(parent, keyPath(subKey).c_str(), 0, access, &key);
    if (code == ERROR_SUCCESS) *result = remember(key);
    return code;
}

long WindowsRegistry::createKey(RegKey root, const std::string& subKey, std::uint32_t access,
                                RegKey* result) {
    *result = kNoKey;
    HKEY parent = systemKey(root);
    if (parent == nullptr) return ERROR_INVALID_HANDLE;
    HKEY key = nullptr;
    const LONG code = RegCreateKeyExW(parent, keyPath(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      access, nullptr, &key, nullptr);
    if (code == ERROR_SUCCESS) *result = remember(key);
    return code;
}

long WindowsRegistry::queryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) {
    HKEY systemKeyHandle = systemKey(key);
    if (systemKeyHandle == nullptr) return ERROR_INVALID_HANDLE;
    const std::wstring valueName = toUtf16(name);
    DWORD valueType = 0;
    DWORD valueSize = 0;
    LONG code = RegQueryValueExW(systemKeyHandle, valueName.c_str(), nullptr, &valueType, nullptr, &valueSize);
    if (code != ERROR_SUCCESS) return code;
    if (type != nullptr) *type = valueType;

    std::vector<std::uint8_t> stored(valueSize);
    code = RegQueryValueExW(systemKeyHandle, valueName.c_str(), nullptr, &valueType, stored.data(), &valueSize);
    if (code != ERROR_SUCCESS) return code;
    stored.resize(valueSize);
    std::string bytes(stored.begin(), stored.end());
    if (isStringType(valueType)) {
        // Every UTF-16 unit converted, embedded and terminating zeros included.
        std::wstring wide(stored.size() / sizeof(wchar_t), L'\0');
        std::memcpy(wide.data(), stored.data(), wide.size() * sizeof(wchar_t));
        bytes = fromUtf16(wide);
    }
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (data == nullptr) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    const std::uint32_t room = *size;
    *size = needed;
    if (room < needed) return ERROR_MORE_DATA;
    std::memcpy(data, bytes.data(), bytes.size());
    return ERROR_SUCCESS;
}

long WindowsRegistry::setValue(RegKey key, const std::string& name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) {
    HKEY systemKeyHandle = systemKey(key);
    if (systemKeyHandle == nullptr) return ERROR_INVALID_HANDLE;
    std::vector<BYTE> stored(data, data + size);
    if (isStringType(type)) {
        const std::wstring wide = toUtf16(std::string(reinterpret_cast<const char*>(data), size));
        stored.assign(reinterpret_cast<const BYTE*>(wide.data()),
                      reinterpret_cast<const BYTE*>(wide.data() + wide.size()));
    }
    return RegSetValueExW(systemKeyHandle, toUtf16(name).c_str(), 0, type, stored.data(),
                          static_cast<DWORD>(stored.size()));
}

long WindowsRegistry::closeKey(RegKey key) {
    auto found = handles_.find(key);
    if (found == handles_.end()) return ERROR_INVALID_HANDLE;
    const LONG code = RegCloseKey(found->second);
    handles_.erase(found);
    return code;
}

}  // namespace velmora::platform
