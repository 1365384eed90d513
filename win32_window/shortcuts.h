#pragma once
// Keys as the command table spells them ("Ctrl+Shift+O", "Del", "PgDown", "F11").
#include <windows.h>

#include <string>

namespace velmora::win32 {

// The name of a key press of virtualKey with Ctrl and Shift held or not; "" for a key
// the tables never name.
std::string keyName(WPARAM virtualKey, bool ctrl, bool shift);

// A menu item's caption with its shortcut beside it, as Windows menus show one.
std::wstring withShortcut(const std::string& caption, const char* shortcut);

}  // namespace velmora::win32
