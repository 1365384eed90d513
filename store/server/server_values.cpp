#include "store/server/server_values.h"

#include <charconv>

namespace velmora {

std::uint64_t bigEndianNumber(const Bytes& bytes) {
    std::uint64_t value = 0;
    for (std::uint8_t byte : bytes) value = (value << 8) | byte;
    return value;
}

ServerValue serverParameterOf(const FieldValue& value) {
    if (value.isNull()) return ServerValue::null();
    if (auto bytes = std::get_if<SharedBytes>(&value.value)) return ServerValue::ofBytes(*bytes);
    if (auto number = std::get_if<double>(&value.value)) {
        char text[32];
        return ServerValue::ofText(std::string(text, std::to_chars(text, text + sizeof text, *number).ptr));
    }
    return ServerValue::ofText(value.asString());
}

std::string byteaText(const Bytes& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text = "\\x";
    for (std::uint8_t byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

}  // namespace velmora
