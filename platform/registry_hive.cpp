#include "platform/registry_hive.h"

#include "platform/ascii_case.h"

namespace velmora::platform {

bool normaliseKeyPath(const std::string& path, std::string& normalised) {
    std::size_t begin = path.find_first_not_of('\\');
    std::size_t end = path.find_last_not_of('\\');
    if (begin == std::string::npos) {
        normalised.clear();
        return true;
    }
    normalised = path.substr(begin, end - begin + 1);
    return normalised.find("\\\\") == std::string::npos;
}

RegistryHive::RegistryHive() {
    keys_[""] = RegistryKey{};
}

RegistryKey* RegistryHive::find(const std::string& path) {
    auto it = keys_.find(foldAsciiCase(path));
    return it == keys_.end() ? nullptr : &it->second;
}

const RegistryKey* RegistryHive::find(const std::string& path) const {
    auto it = keys_.find(foldAsciiCase(path));
    return it == keys_.end() ? nullptr : &it->second;
}

RegistryKey& RegistryHive::create(const std::string& path) {
    // Walk down from the root so every missing ancestor gets the caller's spelling.
    std::size_t pos = 0;
    while (true) {
        std::size_t next = path.find('\\', pos);
        std::string prefix = path.substr(0, next);
        auto [it, inserted] = keys_.try_emplace(foldAsciiCase(prefix));
        if (inserted) it->second.path = prefix;
        if (next == std::string::npos) return it->second;
        pos = next + 1;
    }
}

void RegistryHive::setValue(RegistryKey& key, const std::string& name, std::uint32_t type,
                            Bytes data) {
    RegistryValue& value = key.values[foldAsciiCase(name)];
    if (value.name.empty()) value.name = name;  // a rewrite keeps the first spelling
    value.type = type;
    value.data = std::move(data);
}

const RegistryValue* RegistryHive::findValue(const RegistryKey& key, const std::string& name) {
    auto it = key.values.find(foldAsciiCase(name));
    return it == key.values.end() ? nullptr : &it->second;
}

}  // namespace velmora::platform
