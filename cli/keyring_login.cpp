#include "cli/keyring_login.h"

#include "platform/keyring.h"
#include "store/server/kept_server_password.h"

namespace velmora {

KeyringLogin::KeyringLogin(platform::Keyring* keyring) {
    if (!keyring) {
        system_ = platform::systemKeyring();
        keyring = system_.get();
    }
    setKeptServerPassword([keyring](const std::string& shownAddress) { return keyring->passwordWithoutAsking(shownAddress); });
}

KeyringLogin::~KeyringLogin() { setKeptServerPassword({}); }

}  // namespace velmora
