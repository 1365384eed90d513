#pragma once
// A keyring that keeps one password in memory, whatever the address.
#include "platform/keyring.h"

namespace velmora::test {

struct MemoryKeyring : platform::Keyring {
    std::optional<std::string> password(const std::string&) override { return kept; }
    void keep(const std::string&, const std::string& password) override { kept = password; }
    void forget(const std::string&) noexcept override { kept.reset(); }
    std::optional<std::string> kept;
};

}  // namespace velmora::test
