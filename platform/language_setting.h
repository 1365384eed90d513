#pragma once
// The interface language the user chose, kept with the other settings as
// "language = zh|en" (on Linux in the settings file, on Windows under
// HKCU\Software\Velmora), and the language a program starts in.

#include <optional>

#include "base/language.h"
#include "platform/settings_store.h"

namespace velmora::platform {

// The saved choice; none when nothing was saved or the value is neither code. A damaged
// store raises its Error.
std::optional<Language> loadLanguageSetting(SettingsStore& store);
// Saves the choice, keeping every other value of the store.
void saveLanguageSetting(SettingsStore& store, Language language);

// The language of the user's system: on Linux the environment's (languageOfEnvironment()),
// on Windows the user's display language.
Language systemLanguage();

// --language, else the saved choice, else the system's language. A store that cannot be
// read counts as no choice: the language is never a reason not to start.
Language startLanguage(std::optional<Language> argument, SettingsStore& store, Language system);

}  // namespace velmora::platform
