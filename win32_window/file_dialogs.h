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

// "Name|pattern;pattern|Name|pattern" as the dialogs take it: "Name\0pattern;pattern\0
// Name\0pattern\0\0" (a name without patterns is left out).
std::wstring dialogFilter(const std::string& filter);
// The full paths of a multiple-selection result: "folder\0name\0name\0\0", or one full
// path when one file was chosen.
std::vector<std::wstring> selectedPaths(const std::vector<wchar_t>& buffer);

}  // namespace velmora::win32
