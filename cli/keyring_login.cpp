#include "cli/keyring_login.h"

#include "platform/keyring.h"
#include "store/server/kept_server_password.h"

namespace velmora {

KeyringLogin::KeyringLogin(std::shared_ptr<platform::Keyring> keyring) {
    setKeptServerPassword([keyring](const std::string& shownAddress) {
        return keyring->passwordWithoutAsking(shownAddress);
    });
}

KeyringLogin::~KeyringLogin() { setKeptServerPassword({}); }

std::unique_ptr<KeyringLogin> systemKeyringLogin() {
    return std::make_unique<KeyringLogin>(platform::systemKeyring());
}

}  // namespace velmora
