#pragma once
// The two languages of the interface and how one is chosen: the command line's
// --language, else the saved setting, else the system's language. Chinese is the
// program's own; it is also what any language other than English gives, so a
// Chinese or unset ("C", "POSIX") locale sees the interface it always had.

#include <functional>
#include <optional>
#include <string_view>

namespace velmora {

enum class Language { Chinese, English };

// The name under which the setting is kept, and its values "zh" / "en".
inline constexpr const char* kLanguageSettingName = "language";
const char* languageCode(Language language);
// "zh" or "en" exactly; none for anything else.
std::optional<Language> parseLanguageCode(std::string_view code);

// A locale name ("en_GB.UTF-8", "zh-CN", "C"): en* is English, anything else Chinese.
Language languageOfLocale(std::string_view locale);

// The language a Linux environment asks for: the first entry of the LANGUAGE list
// that is Chinese or English, else the first set one of LC_ALL, LC_MESSAGES, LANG.
// variable returns a variable's value, or null when unset.
Language languageOfEnvironment(const std::function<const char*(const char*)>& variable);

inline Language chooseLanguage(std::optional<Language> argument, std::optional<Language> setting, Language system) {
    return argument ? *argument : setting ? *setting : system;
}

}  // namespace velmora
