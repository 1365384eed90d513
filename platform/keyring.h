#pragma once
// Server passwords the user asked to keep, in the system's keyring: the Secret Service
// (GNOME Keyring, KWallet) on Linux, the Credential Manager on Windows. Each is kept
// under the server address without its password, so that the key itself never
// carries one.

#include <memory>
#include <optional>
#include <string>

namespace velmora::platform {

class Keyring {
public:
    virtual ~Keyring() = default;
    // The password kept for address; none when none is kept or no keyring answers.
    virtual std::optional<std::string> password(const std::string& address) = 0;
    // The same, for a program without a window: a keyring that would have to ask the user
    // first (a locked one) gives none.
    virtual std::optional<std::string> passwordWithoutAsking(const std::string& address) { return password(address); }
    // Keeps password for address, replacing one kept before. Raises Error saying why
    // when the keyring cannot keep it.
    virtual void keep(const std::string& address, const std::string& password) = 0;
    // Forgets the password kept for address, if any; never raises.
    virtual void forget(const std::string& address) noexcept = 0;
};

// The keyring of the user's session.
std::unique_ptr<Keyring> systemKeyring();

}  // namespace velmora::platform
