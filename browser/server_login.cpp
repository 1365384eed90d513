#include "browser/server_login.h"

#include "platform/keyring.h"
#include "store/server/server_connection.h"

namespace velmora {

std::optional<LoggedIn> logIn(const ServerLogin& login) {
    std::string problem;
    try {
        login.open(std::nullopt);
        return LoggedIn{};
    } catch (const ServerPasswordError& refused) {
        problem = refused.what();
    }
    if (std::optional<std::string> kept = login.keyring ? login.keyring->password(login.address) : std::nullopt) {
        try {
            login.open(kept);
            return LoggedIn{kept};
        } catch (const ServerPasswordError& refused) {
            // Changed on the server since it was kept: the user gives the new one.
            problem = refused.what();
        }
    }
    std::optional<std::string> taken;
    PasswordForm form(
        login.address, problem,
        [&](const std::string& password, bool keep) {
            login.open(password);
            taken = password;
            if (!keep) return;
            try {
                if (!login.keyring) throw Error("There is no keyring to keep the password for " + login.address);
                login.keyring->keep(login.address, password);
            } catch (const std::exception& error) {
                login.report(error.what());
            }
        },
        login.report);
    login.ask(form);
    if (!form.opened()) return std::nullopt;
    return LoggedIn{taken};
}

}  // namespace velmora
