// Opening a collection on a PostgreSQL server from the popup menu: its address, then
// its password where the server asks for one.
#include "base/error.h"
#include "browser/collection_browser.h"
#include "browser/server_addresses.h"
#include "browser/server_login.h"
#include "store/database/server_address.h"
#include "store/server/server_collection.h"

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
        // The collection is only looked at here; the one open now stays open until a
        // password that works is found.
        std::optional<std::string> working;
        const ServerLogin login{
            addressWithoutPassword(address), services_.keyring,
            [&](const std::optional<std::string>& password) {
                openServerCollection(address, password);
                working = password;
            },
            [&](PasswordForm& form) { view_.askPassword(form); },
            [&](const std::string& message) { reportError(message); }};
        if (!logIn(login)) {
            closes = true;
            return;
        }
        // The window's connection logs in with the password that worked.
        connection_.setPassword(working);
        openCollectionAt(address);
        closes = true;
        if (services_.recentServers) rememberServerAddress(*services_.recentServers, address);
    });
    return closes;
}

}  // namespace velmora
