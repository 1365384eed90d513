#pragma once
// Windows path syntax: "C:\folder\name", "\" and "/" both separators, "." and ".."
// resolved the way the system expands a path (".." never climbs above a root), and
// the file-name rules (no < > : " | ? * and no control characters in a name).

#include <string>
#include <vector>

namespace velmora::platform {

struct WindowsPath {
    char drive = 0;         // lower-case drive letter, 0 when the path has none
    bool absolute = false;  // starts at a root: "C:\", "\" or "/"
    std::vector<std::string> parts;

    // "c:\a\b" style text of the parts (the drive as "C:").
    std::string text() const;
};

// Splits and resolves path. Returns 0, or ERROR_INVALID_NAME (123) when a name
// breaks the rules or the path is empty.
unsigned parseWindowsPath(const std::string& path, WindowsPath& parsed);

// True when c may not appear in a Windows file name.
bool isReservedNameCharacter(unsigned char c);

}  // namespace velmora::platform
