#pragma once
// The user's registry branch (HKEY_CURRENT_USER) with the semantics of the Win32
// registry calls: every call returns a Win32 code (0 = success), handles are plain
// numbers, key and value names are matched without regard to case.

#include <cstdint>
#include <string>

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
};

}  // namespace velmora::platform
