#pragma once
// The user's registry branch (HKEY_CURRENT_USER) with the semantics of the Win32
// registry calls: every call returns a Win32 code (0 = success), handles are plain
// numbers, key and value names are matched without regard to case.

#include <cstdint>
#include <string>
#include <utility>

namespace velmora::platform {

using RegKey = std::uint32_t;
constexpr RegKey kNoKey = 0;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;

// Value types.
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kRegQword = 11;

// Access masks; the registry here grants every mask to the user.
constexpr std::uint32_t kKeyRead = 0x20019u;
constexpr std::uint32_t kKeyQueryAndEnumerate = 0x20009u;  // STANDARD_RIGHTS_READ | query | enumerate
constexpr std::uint32_t kKeyAllAccess = 0xF003Fu;

class Registry {
public:
    virtual ~Registry() = default;

    // RegOpenKeyEx: opens root\subKey (a leading backslash is ignored). On success
    // *result is a new handle; on failure it is kNoKey (2 when the key is missing).
    virtual long openKey(RegKey root, const std::string& subKey, std::uint32_t access,
                         RegKey* result) = 0;
    // RegCreateKeyEx: opens root\subKey, creating it and every missing key above it.
    virtual long createKey(RegKey root, const std::string& subKey, std::uint32_t access,
                           RegKey* result) = 0;
    // RegQueryValueEx: with data == nullptr only *type and *size are set; otherwise
    // *size is the buffer size on entry and the data size on return (234 when the
    // buffer is too small). type may be nullptr.
    virtual long queryValue(RegKey key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) = 0;
    // RegSetValueEx: stores size bytes of data as the value's whole content.
    virtual long setValue(RegKey key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) = 0;
    // RegCloseKey.
    virtual long closeKey(RegKey key) = 0;

    // Keeps the changes of the calls that follow in this object until commitChanges(),
    // so that several writes of one command are stored at once; this object's own
    // reads see them meanwhile. Calls nest: the outermost commit stores. Where every
    // write is stored cheaply anyway, both do nothing.
    virtual void holdChanges() {}
    // Stores what was held. 0, or the Win32 code of the failure: the held changes are
    // then lost.
    virtual long commitChanges() { return 0; }
};

// Holds a registry's changes for a scope: commit() stores them and says how it went;
// leaving the scope otherwise (an error) stores them as far as they came.
class HeldRegistryChanges {
public:
    explicit HeldRegistryChanges(Registry& registry) : registry_(&registry) { registry.holdChanges(); }
    ~HeldRegistryChanges() {
        if (registry_) registry_->commitChanges();
    }
    HeldRegistryChanges(const HeldRegistryChanges&) = delete;
    HeldRegistryChanges& operator=(const HeldRegistryChanges&) = delete;

    long commit() { return registry_ ? std::exchange(registry_, nullptr)->commitChanges() : 0; }

private:
    Registry* registry_;
};

}  // namespace velmora::platform
