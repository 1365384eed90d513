#pragma once
// One column value of a record: null, text, integer, real or bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "base/bytes.h"

struct sqlite3_stmt;

namespace velmora {

struct FieldValue {
    // monostate = null; blobs share their bytes.
    std::variant<std::monostate, std::int64_t, double, std::string, SharedBytes> value;

    bool isNull() const { return std::holds_alternative<std::monostate>(value); }
    std::string asString() const;
    SharedBytes asBytes() const;  // empty buffer for null
};

// Binds a value to a statement's place, or raises SQLite's reason (a value over the
// length limit, say): a value that did not bind would otherwise be stored as null.
void bindFieldValue(sqlite3_stmt* statement, int index, const FieldValue& value);

}  // namespace velmora
