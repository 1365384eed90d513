#include "base/language.h"

#include <algorithm>

namespace velmora {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

const char* languageCode(Language language) { return language == Language::English ? "en" : "zh"; }

std::optional<Language> parseLanguageCode(std::string_view code) {
    if (code == "zh") return Language::Chinese;
    if (code == "en") return Language::English;
    return std::nullopt;
}

Language languageOfLocale(std::string_view locale) {
    return startsWith(locale, "en") ? Language::English : Language::Chinese;
}

Language languageOfEnvironment(const std::function<const char*(const char*)>& variable) {
    // gettext's order: LANGUAGE names languages by preference, and one we lack is passed over.
    if (const char* list = variable("LANGUAGE")) {
        std::string_view rest(list);
        while (!rest.empty()) {
            const std::string_view entry = rest.substr(0, rest.find(':'));
            if (startsWith(entry, "en") || startsWith(entry, "zh")) return languageOfLocale(entry);
            rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
        }
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = variable(name);
        if (value && *value) return languageOfLocale(value);
    }
    return Language::Chinese;
}

}  // namespace velmora
