#pragma once
// The command line's login to a server collection: where libpq's own sources hold no
// password, the one the window kept in the keyring (under the address without its
// password) is taken. Nothing is ever asked: there is no dialog on the command line,
// and a keyring that would have to be unlocked first gives none.

#include <memory>

namespace velmora {

namespace platform {
class Keyring;
}

// While it lives, this process's server connections look in keyring (null: the system's
// keyring), which must outlive it.
class KeyringLogin {
public:
    explicit KeyringLogin(platform::Keyring* keyring);
    ~KeyringLogin();
    KeyringLogin(const KeyringLogin&) = delete;
    KeyringLogin& operator=(const KeyringLogin&) = delete;

private:
    std::unique_ptr<platform::Keyring> system_;
};

}  // namespace velmora
