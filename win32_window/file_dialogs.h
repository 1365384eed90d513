#pragma once
// GetOpenFileNameW (Explorer style; several files for OpenMany) and GetSaveFileNameW
// with the browser's dialog settings: filter "Name|pattern|...", the filter index, the
// default extension, the file name, initial folder and title, the overwrite prompt.
#include <windows.h>

#include <string>
#include <vector>

#include "browser/browser_view.h"

namespace velmora::win32 {

// The chosen full paths (UTF-8), empty when cancelled; updates settings.filterIndex.
std::vector<std::string> chooseFiles(HWND owner, FileDialogKind kind, FileDialogSettings& settings);

}  // namespace velmora::win32
