// Passwords in the Windows Credential Manager: generic credentials of the user,
// named "Velmora:" and the address, the password's UTF-8 bytes as their secret.
#include "platform/keyring.h"

#include <windows.h>
#include <wincred.h>

#include "base/error.h"
#include "base/system_error.h"
#include "base/utf16.h"

namespace velmora::platform {
namespace {

std::wstring targetOf(const std::string& address) { return toUtf16("Velmora:" + address); }

class CredentialManagerKeyring : public Keyring {
public:
    std::optional<std::string> password(const std::string& address) override {
        PCREDENTIALW credential = nullptr;
        if (!CredReadW(targetOf(address).c_str(), CRED_TYPE_GENERIC, 0, &credential)) return std::nullopt;
        std::string password(reinterpret_cast<const char*>(credential->CredentialBlob), credential->CredentialBlobSize);
        SecureZeroMemory(credential->CredentialBlob, credential->CredentialBlobSize);
        CredFree(credential);
        return password;
    }

    void keep(const std::string& address, const std::string& password) override {
        std::wstring target = targetOf(address);
        std::wstring user = toUtf16(address);
        std::string secret = password;
        CREDENTIALW credential{};
        credential.Type = CRED_TYPE_GENERIC;
        credential.TargetName = target.data();
        credential.UserName = user.data();
        credential.CredentialBlobSize = static_cast<DWORD>(secret.size());
        credential.CredentialBlob = reinterpret_cast<LPBYTE>(secret.data());
        credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
        const bool kept = CredWriteW(&credential, 0);
        const DWORD code = kept ? 0 : GetLastError();
        SecureZeroMemory(secret.data(), secret.size());
        if (!kept) {
            throw Error("The password for " + address + " could not be kept in the Credential Manager (" +
                        win32ErrorText(code) + ")");
        }
    }

    void forget(const std::string& address) noexcept override {
        CredDeleteW(targetOf(address).c_str(), CRED_TYPE_GENERIC, 0);
    }
};

}  // namespace

std::unique_ptr<Keyring> systemKeyring() { return std::make_unique<CredentialManagerKeyring>(); }

}  // namespace velmora::platform
