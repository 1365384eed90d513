#include "win32_window/shortcuts.h"

#include <utility>

#include "base/utf16.h"

namespace velmora::win32 {

std::string keyName(WPARAM virtualKey, bool ctrl, bool shift) {
    static constexpr std::pair<WPARAM, const char*> kNamed[] = {
        {VK_LEFT, "Left"},      {VK_RIGHT, "Right"}, {VK_PRIOR, "PgUp"},  {VK_NEXT, "PgDown"},
        {VK_RETURN, "Return"},  {VK_ESCAPE, "Esc"},  {VK_DELETE, "Del"},  {VK_INSERT, "Ins"},
    };
    std::string key;
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) {
        key = static_cast<char>(virtualKey);
    } else if (virtualKey >= VK_F1 && virtualKey <= VK_F24) {
        key = "F" + std::to_string(virtualKey - VK_F1 + 1);
    } else {
        for (const auto& [named, name] : kNamed) {
            if (virtualKey == named) key = name;
        }
    }
    if (key.empty()) return key;
    return std::string(ctrl ? "Ctrl+" : "") + (shift ? "Shift+" : "") + key;
}

std::wstring withShortcut(const std::string& caption, const char* shortcut) {
    return toUtf16(shortcut ? caption + "\t" + shortcut : caption);
}

}  // namespace velmora::win32
