#pragma once
// The message boxes of the Win32 window, with the captions, icons and button texts
// of the Qt window's (qt_window/qt_message_boxes.*), centred on the screen.
#include <windows.h>

#include <string>

#include "browser/browser_view.h"

namespace velmora::win32 {

// "Confirm", question icon, "OK" (default) and "Cancel"; true only for "OK".
bool confirmBox(HWND owner, const std::string& question);
// A condition, error or not-added summary; details shown on request when not empty.
void messageBox(HWND owner, MessageKind kind, const std::string& text, const std::string& details);

}  // namespace velmora::win32
