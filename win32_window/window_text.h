#pragma once
// Window texts in the core's UTF-8, converted at the Win32 boundary.
#include <windows.h>

#include <string>

namespace velmora::win32 {

std::string windowText(HWND window);
void setWindowText(HWND window, const std::string& text);
// The answer to WM_CTLCOLORSTATIC for a dialog's label drawn in red on the dialog's face.
INT_PTR redLabelColours(HDC dc);
// "\n" line breaks as an edit control needs them ("\r\n").
std::wstring withCrLf(const std::wstring& text);

}  // namespace velmora::win32
