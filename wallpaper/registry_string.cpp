#include "wallpaper/registry_string.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/error.h"

namespace velmora {

using namespace platform;

void OpenRegistryKey::close() {
    if (key_ != kNoKey) registry_.closeKey(key_);
    key_ = kNoKey;
}

std::string readRegistryString(Registry& registry, RegKey key, const std::string& name) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (registry.queryValue(key, name, &type, nullptr, &size) != 0 || size == 0) return "";
    std::vector<std::uint8_t> data(size);
    if (registry.queryValue(key, name, &type, data.data(), &size) != 0)
        throw Error("Failed to get data for '" + name + "'");
    if (type != kRegSz && type != kRegExpandSz) throw Error("Invalid data type for '" + name + "'");
    std::string text(data.begin(), data.begin() + std::min<std::size_t>(size, data.size()));
    return text.substr(0, text.find('\0'));
}

void writeRegistryString(Registry& registry, RegKey key, const std::string& name,
                         const std::string& text) {
    std::string data = text + '\0';
    if (registry.setValue(key, name, kRegSz, reinterpret_cast<const std::uint8_t*>(data.data()),
                          static_cast<std::uint32_t>(data.size())) != 0)
        throw Error(failedToSetDataMessage(name));
}

std::string failedToSetDataMessage(const std::string& name) {
    return "Failed to set data for '" + name + "'";
}

}  // namespace velmora
