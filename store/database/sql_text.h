#pragma once
// Pieces of SQL text built from names.

#include <string>

namespace velmora {

// name as a quoted SQL identifier: "name", with inner quotes doubled.
inline std::string quoteIdentifier(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace velmora
