#pragma once
// The paths of files dropped on a window, as the core takes them (UTF-8); the drop is
// finished.
#include <windows.h>

#include <string>
#include <vector>

namespace velmora::win32 {

std::vector<std::string> takeDroppedFiles(HDROP drop);

}  // namespace velmora::win32
