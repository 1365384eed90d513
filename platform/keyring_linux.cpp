// Passwords in the Secret Service through libsecret. A session without one (no D-Bus
// session, no keyring daemon) keeps nothing, and says so when asked to.
#include "platform/keyring.h"

#include <libsecret/secret.h>

#include "base/error.h"

namespace velmora::platform {
namespace {

const SecretSchema* passwordSchema() {
    static const SecretSchema schema = {
        "example.velmora.ServerPassword",
        SECRET_SCHEMA_NONE,
        {{"address", SECRET_SCHEMA_ATTRIBUTE_STRING}, {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
        0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    return &schema;
}

// Takes ownership of a GError and hands back its text.
std::string takeMessage(GError* error) {
    std::string text = error && error->message ? error->message : "unknown failure";
    g_clear_error(&error);
    return text;
}

class SecretServiceKeyring : public Keyring {
public:
    std::optional<std::string> password(const std::string& address) override {
        GError* error = nullptr;
        gchar* found = secret_password_lookup_sync(passwordSchema(), nullptr, &error, "address", address.c_str(),
                                                   nullptr);
        g_clear_error(&error);
        if (!found) return std::nullopt;
        std::string password = found;
        secret_password_free(found);
        return password;
    }

    std::optional<std::string> passwordWithoutAsking(const std::string& address) override {
        // Searched without SECRET_SEARCH_UNLOCK: a locked item is left alone, never
        // prompted for (a lookup would ask the keyring to unlock it).
        GError* error = nullptr;
        GList* found = secret_password_search_sync(passwordSchema(), SECRET_SEARCH_LOAD_SECRETS, nullptr, &error,
                                                   "address", address.c_str(), nullptr);
        g_clear_error(&error);
        std::optional<std::string> password;
        for (GList* item = found; item && !password; item = item->next) {
            SecretValue* value =
                secret_retrievable_retrieve_secret_sync(SECRET_RETRIEVABLE(item->data), nullptr, nullptr);
            if (!value) continue;
            if (const gchar* text = secret_value_get_text(value)) password = text;
            secret_value_unref(value);
        }
        g_list_free_full(found, g_object_unref);
        return password;
    }

    void keep(const std::string& address, const std::string& password) override {
        GError* error = nullptr;
        const std::string label = "Velmora: " + address;
        if (!secret_password_store_sync(passwordSchema(), SECRET_COLLECTION_DEFAULT, label.c_str(), password.c_str(),
                                        nullptr, &error, "address", address.c_str(), nullptr)) {
            throw Error("The password for " + address + " could not be kept in the keyring (" + takeMessage(error) +
                        ")");
        }
    }

    void forget(const std::string& address) noexcept override {
        GError* error = nullptr;
        secret_password_clear_sync(passwordSchema(), nullptr, &error, "address", address.c_str(), nullptr);
        g_clear_error(&error);
    }
};

}  // namespace

std::unique_ptr<Keyring> systemKeyring() { return std::make_unique<SecretServiceKeyring>(); }

}  // namespace velmora::platform
