#pragma once
// One column value of a record: null, text, integer, real or bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "base/bytes.h"

namespace velmora {

struct FieldValue {
    // monostate = null; blobs share their bytes.
    std::variant<std::monostate, std::int64_t, double, std::string, SharedBytes> value;

    bool isNull() const { return std::holds_alternative<std::monostate>(value); }
    std::string asString() const;
    SharedBytes asBytes() const;  // empty buffer for null
};

}  // namespace velmora
