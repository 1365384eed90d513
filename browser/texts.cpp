#include "browser/texts.h"

#include "browser/chinese_texts.h"

namespace velmora {

const TextTable& texts() { return kChineseTexts; }

std::string fillIn(const char* text, std::initializer_list<std::string> values) {
    std::string result;
    auto value = values.begin();
    for (const char* at = text; *at; ++at) {
        if (at[0] == '{' && at[1] == '}' && value != values.end()) {
            result += *value++;
            ++at;
        } else {
            result += *at;
        }
    }
    return result;
}

}  // namespace velmora
