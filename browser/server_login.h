#pragma once
// Logging in to a server collection: the password comes from libpq's own sources (the
// address, ~/.pgpass or PGPASSFILE, the service file) when they have one, else from the
// keyring, else from the user in the password dialog, asked again with the server's
// message until one works or the dialog is cancelled.

#include <functional>
#include <optional>
#include <string>

#include "browser/password_form.h"

namespace velmora {

namespace platform {
class Keyring;
}

struct ServerLogin {
    std::string address;                  // without a password: the keyring's key
    platform::Keyring* keyring = nullptr;  // null: no keyring
    // Opens with this password (none: libpq's own sources only); raises
    // ServerPasswordError when the server refuses it, Error for any other failure.
    std::function<void(const std::optional<std::string>& password)> open;
    // Shows the password dialog bound to the form until it is closed.
    std::function<void(PasswordForm& form)> ask;
    // Reports an error that does not end the login (a password the keyring cannot keep).
    std::function<void(const std::string& message)> report;
};

// Opened: the password it took, none when libpq's own sources had one.
struct LoggedIn {
    std::optional<std::string> password;
};

// Opens through login.open with the first password that works, keeping a typed one in
// the keyring when the user asked. Nothing when the dialog was cancelled (nothing was
// opened then). Raises what open raises other than a refused password.
std::optional<LoggedIn> logIn(const ServerLogin& login);

}  // namespace velmora
