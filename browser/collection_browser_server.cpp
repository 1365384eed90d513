// Opening a collection on a PostgreSQL server from the popup menu: its address, then
// its password where the server asks for one.
#include "base/error.h"
#include "browser/collection_browser.h"
#include "browser/server_addresses.h"
#include "browser/server_login.h"
#include "store/database/server_address.h"
#include "store/database/server_database.h"

namespace velmora {

void CollectionBrowser::openServer() {
    std::vector<std::string> recent;
    if (services_.recentServers) recent = recentServerAddresses(*services_.recentServers);
    const std::string text = recent.empty() ? texts().serverAddressText : recent.front();
    view_.askText({NameDialogKind::ServerAddress, text,
                   [this](const std::string& address) { return openServerAt(address); }, recent});
}

bool CollectionBrowser::openServerAt(const std::string& address) {
    bool closes = false;
    guard([&] {
        if (!isServerAddress(address)) {
            throw Error("\"" + address + "\" is not the address of a server collection: postgresql://[user@]host[:port]/"
                        "dbname, postgres://... or service=NAME");
        }
        // The one open now stays open until a password that works is found; the
        // connection that found it becomes the window's.
        std::optional<std::string> working;
        std::unique_ptr<SqlDatabase> opened;
        const ServerLogin login{
            addressWithoutPassword(address), services_.keyring,
            [&](const std::optional<std::string>& password) {
                opened = openServerDatabase(address, password);
                working = password;
            },
            [&](PasswordForm& form) { view_.askPassword(form); },
            [&](const std::string& message) { reportError(message); }};
        if (!logIn(login)) {
            closes = true;
            return;
        }
        // A later open of this collection logs in with the password that worked.
        connection_.setPassword(working);
        openCollectionAt(address, std::move(opened));
        closes = true;
        if (services_.recentServers) rememberServerAddress(*services_.recentServers, address);
    });
    return closes;
}

}  // namespace velmora
