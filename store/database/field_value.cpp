#include "store/database/field_value.h"

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

}  // namespace velmora
