#include <cstdlib>

#include "platform/language_setting.h"

namespace velmora::platform {

Language systemLanguage() {
    return languageOfEnvironment([](const char* name) { return std::getenv(name); });
}

}  // namespace velmora::platform
