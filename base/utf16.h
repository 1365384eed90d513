#pragma once
// Windows only: the core's strings are UTF-8, the Win32 "W" calls take UTF-16.
// Every path, key and value crosses that boundary through these two functions.

#include <string>

namespace velmora {

// Bytes that are not valid UTF-8 become U+FFFD, so a bad name fails at the call
// that uses it instead of naming another file.
std::wstring toUtf16(const std::string& utf8);
std::string fromUtf16(const std::wstring& utf16);
std::string fromUtf16(const wchar_t* utf16, std::size_t length);

}  // namespace velmora
