#pragma once
// Where Windows paths live on this machine. "X:\..." is the folder
// $XDG_DATA_HOME/velmora/drive_x; names below it are matched without regard to
// ASCII letter case, as on Windows. A path without a drive letter is a path of
// this machine (relative ones against the current directory), with "\" read as "/".

#include <string>

namespace velmora::platform {

// The folder that stands for drive letter `drive` (either case).
std::string driveFolder(char drive);

// Maps path to the path of this machine. Returns 0, or ERROR_INVALID_NAME (123)
// when the path breaks the file-name rules. The drive's folder is created on
// first use; nothing else is created.
unsigned hostPath(const std::string& path, std::string& host);

}  // namespace velmora::platform
