#include "win32_window/shortcuts.h"

#include <string_view>

namespace velmora::win32 {

bool matchesShortcut(const char* shortcut, WPARAM virtualKey, bool ctrl) {
    std::string_view keys(shortcut);
    constexpr std::string_view kCtrl = "Ctrl+";
    const bool wantsCtrl = keys.starts_with(kCtrl);
    if (wantsCtrl) keys.remove_prefix(kCtrl.size());
    // A letter or digit: its virtual key is its upper-case character.
    if (keys.size() != 1 || wantsCtrl != ctrl) return false;
    char key = keys.front();
    if (key >= 'a' && key <= 'z') key = static_cast<char>(key - 'a' + 'A');
    return virtualKey == static_cast<WPARAM>(static_cast<unsigned char>(key));
}

}  // namespace velmora::win32
