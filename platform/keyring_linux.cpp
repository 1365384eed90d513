// Passwords in the Secret Service through libsecret. A session without one (no D-Bus
// session, no keyring daemon) keeps nothing, and says so when asked to. libsecret (and
// GIO, which it brings) is loaded when the keyring is first asked, not at start: most runs
// never open a server collection.
#include "platform/keyring.h"

#include <libsecret/secret.h>

#include <optional>

#include "base/error.h"
#include "base/shared_library.h"

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

// The calls made, from libsecret and the GLib it depends on. The variadic calls of
// libsecret's header are made through their forms that take the attributes as a table.
struct SecretFunctions {
    explicit SecretFunctions(const SharedLibrary& library)
        : lookup(library.function<decltype(secret_password_lookupv_sync)>("secret_password_lookupv_sync")),
          store(library.function<decltype(secret_password_storev_sync)>("secret_password_storev_sync")),
          clear(library.function<decltype(secret_password_clearv_sync)>("secret_password_clearv_sync")),
          search(library.function<decltype(secret_password_searchv_sync)>("secret_password_searchv_sync")),
          retrieve(library.function<decltype(secret_retrievable_retrieve_secret_sync)>(
              "secret_retrievable_retrieve_secret_sync")),
          valueText(library.function<decltype(secret_value_get_text)>("secret_value_get_text")),
          unrefValue(library.function<decltype(secret_value_unref)>("secret_value_unref")),
          freePassword(library.function<decltype(secret_password_free)>("secret_password_free")),
          newTable(library.function<decltype(g_hash_table_new)>("g_hash_table_new")),
          insert(library.function<decltype(g_hash_table_insert)>("g_hash_table_insert")),
          unref(library.function<decltype(g_hash_table_unref)>("g_hash_table_unref")),
          stringHash(library.function<decltype(g_str_hash)>("g_str_hash")),
          stringEqual(library.function<decltype(g_str_equal)>("g_str_equal")),
          clearError(library.function<decltype(g_clear_error)>("g_clear_error")),
          freeList(library.function<decltype(g_list_free_full)>("g_list_free_full")),
          unrefObject(library.function<decltype(g_object_unref)>("g_object_unref")) {}

    decltype(secret_password_lookupv_sync)* lookup;
    decltype(secret_password_storev_sync)* store;
    decltype(secret_password_clearv_sync)* clear;
    decltype(secret_password_searchv_sync)* search;
    decltype(secret_retrievable_retrieve_secret_sync)* retrieve;
    decltype(secret_value_get_text)* valueText;
    decltype(secret_value_unref)* unrefValue;
    decltype(secret_password_free)* freePassword;
    decltype(g_hash_table_new)* newTable;
    decltype(g_hash_table_insert)* insert;
    decltype(g_hash_table_unref)* unref;
    decltype(g_str_hash)* stringHash;
    decltype(g_str_equal)* stringEqual;
    decltype(g_clear_error)* clearError;
    decltype(g_list_free_full)* freeList;
    decltype(g_object_unref)* unrefObject;
};

// libsecret's functions, loaded on the first call; raises Error saying why when the
// library cannot be loaded (and again on each later call).
const SecretFunctions& secretFunctions() {
    static const SharedLibrary library("libsecret-1.so.0", "Keeping server passwords in the keyring", "libsecret-1-0");
    static const SecretFunctions functions(library);
    return functions;
}

// The attributes naming one address's password; the table borrows the texts.
class AddressAttributes {
public:
    AddressAttributes(const SecretFunctions& secret, const std::string& address)
        : secret_(secret), table_(secret.newTable(secret.stringHash, secret.stringEqual)) {
        secret.insert(table_, const_cast<char*>("address"), const_cast<char*>(address.c_str()));
    }
    ~AddressAttributes() { secret_.unref(table_); }
    AddressAttributes(const AddressAttributes&) = delete;
    AddressAttributes& operator=(const AddressAttributes&) = delete;
    GHashTable* table() const { return table_; }

private:
    const SecretFunctions& secret_;
    GHashTable* table_;
};

// Takes ownership of a GError and hands back its text.
std::string takeMessage(const SecretFunctions& secret, GError* error) {
    std::string text = error && error->message ? error->message : "unknown failure";
    secret.clearError(&error);
    return text;
}

class SecretServiceKeyring : public Keyring {
public:
    std::optional<std::string> password(const std::string& address) override {
        const SecretFunctions* secret = loaded();
        if (!secret) return std::nullopt;  // no keyring answers
        GError* error = nullptr;
        const AddressAttributes attributes(*secret, address);
        gchar* found = secret->lookup(passwordSchema(), attributes.table(), nullptr, &error);
        secret->clearError(&error);
        if (!found) return std::nullopt;
        std::string password = found;
        secret->freePassword(found);
        return password;
    }

    std::optional<std::string> passwordWithoutAsking(const std::string& address) override {
        // Searched without SECRET_SEARCH_UNLOCK: a locked item is left alone, never
        // prompted for (a lookup would ask the keyring to unlock it).
        const SecretFunctions* secret = loaded();
        if (!secret) return std::nullopt;  // no keyring answers
        GError* error = nullptr;
        const AddressAttributes attributes(*secret, address);
        GList* found = secret->search(passwordSchema(), attributes.table(), SECRET_SEARCH_LOAD_SECRETS, nullptr, &error);
        secret->clearError(&error);
        std::optional<std::string> password;
        for (GList* item = found; item && !password; item = item->next) {
            // The search gives its items as SecretRetrievable objects.
            SecretValue* value = secret->retrieve(static_cast<SecretRetrievable*>(item->data), nullptr, nullptr);
            if (!value) continue;
            if (const gchar* text = secret->valueText(value)) password = text;
            secret->unrefValue(value);
        }
        secret->freeList(found, secret->unrefObject);
        return password;
    }

    void keep(const std::string& address, const std::string& password) override {
        std::optional<std::string> unloaded;
        const SecretFunctions* secret = loaded(&unloaded);
        if (!secret) throw Error("The password for " + address + " could not be kept in the keyring (" + *unloaded + ")");
        GError* error = nullptr;
        const std::string label = "Velmora: " + address;
        const AddressAttributes attributes(*secret, address);
        if (!secret->store(passwordSchema(), attributes.table(), SECRET_COLLECTION_DEFAULT, label.c_str(),
                           password.c_str(), nullptr, &error)) {
            throw Error("The password for " + address + " could not be kept in the keyring (" +
                        takeMessage(*secret, error) + ")");
        }
    }

    void forget(const std::string& address) noexcept override {
        const SecretFunctions* secret = loaded();
        if (!secret) return;  // nothing can have been kept
        GError* error = nullptr;
        const AddressAttributes attributes(*secret, address);
        secret->clear(passwordSchema(), attributes.table(), nullptr, &error);
        secret->clearError(&error);
    }

private:
    // The functions, or null with why not in reason.
    static const SecretFunctions* loaded(std::optional<std::string>* reason = nullptr) noexcept {
        try {
            return &secretFunctions();
        } catch (const std::exception& error) {
            if (reason) *reason = error.what();
            return nullptr;
        }
    }
};

}  // namespace

std::unique_ptr<Keyring> systemKeyring() { return std::make_unique<SecretServiceKeyring>(); }

}  // namespace velmora::platform
