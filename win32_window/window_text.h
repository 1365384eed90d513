#pragma once
// Window texts in the core's UTF-8, converted at the Win32 boundary.
#include <windows.h>

#include <string>

namespace velmora::win32 {

std::string windowText(HWND window);
void setWindowText(HWND window, const std::string& text);
// "\n" line breaks as an edit control needs them ("\r\n").
std::wstring withCrLf(const std::wstring& text);

}  // namespace velmora::win32
