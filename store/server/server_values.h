#pragma once
// Values between the store's FieldValue and the server's wire forms.
#include <cstdint>
#include <string>

#include "base/bytes.h"
#include "store/database/field_value.h"
#include "store/server/server_connection.h"

namespace velmora {

// A binary integer or float as the server sends it: big-endian, of its type's width.
std::uint64_t bigEndianNumber(const Bytes& bytes);

// A statement parameter: bytes in binary, everything else as text the server converts
// (a double in the shortest form that reads back to the same value).
ServerValue serverParameterOf(const FieldValue& value);

// The server's text form of bytes, as bytea's output gives it: a backslash, "x", hex digits.
std::string byteaText(const Bytes& bytes);

}  // namespace velmora
