#include "platform/language_setting.h"

#include <exception>

namespace velmora::platform {

std::optional<Language> loadLanguageSetting(SettingsStore& store) {
    const SettingValues values = store.load();
    const auto found = values.find(kLanguageSettingName);
    return found == values.end() ? std::nullopt : parseLanguageCode(found->second);
}

void saveLanguageSetting(SettingsStore& store, Language language) {
    SettingValues values = store.load();
    values[kLanguageSettingName] = languageCode(language);
    store.save(values);
}

Language startLanguage(std::optional<Language> argument, SettingsStore& store, Language system) {
    std::optional<Language> saved;
    if (!argument) {
        try {
            saved = loadLanguageSetting(store);
        } catch (const std::exception&) {
            // A damaged store is reported by whatever writes it next.
        }
    }
    return chooseLanguage(argument, saved, system);
}

}  // namespace velmora::platform
