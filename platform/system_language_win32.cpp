#include <windows.h>

#include "base/utf16.h"
#include "platform/language_setting.h"

namespace velmora::platform {

Language systemLanguage() {
    // The language the user reads Windows in ("en-US", "zh-CN"), not the formats' locale.
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0) == 0) {
        return Language::Chinese;
    }
    return languageOfLocale(fromUtf16(name));
}

}  // namespace velmora::platform
