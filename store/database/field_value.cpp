#include "store/database/field_value.h"

#include <sqlite3.h>

#include "base/error.h"

namespace velmora {

std::string FieldValue::asString() const {
    if (auto text = std::get_if<std::string>(&value)) return *text;
    if (auto number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
    if (auto real = std::get_if<double>(&value)) return std::to_string(*real);
    if (auto bytes = std::get_if<SharedBytes>(&value)) {
        return *bytes ? std::string((*bytes)->begin(), (*bytes)->end()) : std::string();
    }
    return {};
}

SharedBytes FieldValue::asBytes() const {
    if (auto bytes = std::get_if<SharedBytes>(&value)) {
        if (*bytes) return *bytes;
    }
    if (auto text = std::get_if<std::string>(&value)) return shareBytes(Bytes(text->begin(), text->end()));
    return shareBytes({});
}

// Binds a value, or raises SQLite's reason (a value over the length limit, say): a value
// that did not bind would otherwise be stored as null.
void bindFieldValue(sqlite3_stmt* statement, int index, const FieldValue& value) {
    int rc;
    if (auto text = std::get_if<std::string>(&value.value)) {
        rc = sqlite3_bind_text64(statement, index, text->data(), text->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } else if (auto number = std::get_if<std::int64_t>(&value.value)) {
        rc = sqlite3_bind_int64(statement, index, *number);
    } else if (auto real = std::get_if<double>(&value.value)) {
        rc = sqlite3_bind_double(statement, index, *real);
    } else if (auto bytes = std::get_if<SharedBytes>(&value.value)) {
        // An empty, non-null blob stays a 0-byte value rather than becoming null.
        static const std::uint8_t none = 0;
        const std::uint8_t* data = *bytes && !(*bytes)->empty() ? (*bytes)->data() : &none;
        rc = sqlite3_bind_blob64(statement, index, data, *bytes ? (*bytes)->size() : 0, SQLITE_STATIC);
    } else {
        rc = sqlite3_bind_null(statement, index);
    }
    if (rc != SQLITE_OK) throw Error(sqlite3_errstr(rc));
}

}  // namespace velmora
