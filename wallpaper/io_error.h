#pragma once
// The I/O error texts for Win32 codes, as the wallpaper command reports a folder
// that cannot be removed.

#include <string>

namespace velmora {

// "File not found" (2), "Invalid filename" (3), "Too many open files" (4),
// "File access denied" (5), "Read beyond end of file" (100), "Disk full" (101),
// "Invalid numeric input" (106), else "I/O error <code>".
std::string ioErrorMessage(unsigned code);

}  // namespace velmora
