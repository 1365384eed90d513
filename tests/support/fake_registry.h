#pragma once
// A registry in memory that records every call, for tests. It keeps the Win32
// semantics of MemoryRegistry; a test may make particular calls fail.

#include <optional>
#include <string>

#include "tests/support/call_log.h"
#include "platform/memory_registry.h"

namespace velmora::platform {

class FakeRegistry : public MemoryRegistry {
public:
    explicit FakeRegistry(CallLog& log) : log_(log) {}

    long openKey(RegKey root, const std::string& subKey, std::uint32_t access,
                 RegKey* result) override;
    long createKey(RegKey root, const std::string& subKey, std::uint32_t access,
                   RegKey* result) override;
    long queryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long setValue(RegKey key, const std::string& name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
    long closeKey(RegKey key) override;

    // Arranging and inspecting the content without recording.
    void putValue(const std::string& keyPath, const std::string& name, std::uint32_t type,
                  Bytes data);
    void putKey(const std::string& keyPath);
    std::optional<RegistryValue> value(const std::string& keyPath, const std::string& name) const;
    bool hasKey(const std::string& keyPath) const;

    // Nonzero: the call fails with that code (queryData: a query with a buffer).
    long failCreateKey = 0;
    long failQueryData = 0;
    long failSetValue = 0;

private:
    CallLog& log_;
};

}  // namespace velmora::platform
