#include "platform/drive_folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/ascii_case.h"
#include "platform/posix_file.h"
#include "base/system_error.h"
#include "platform/windows_path.h"
#include "platform/xdg_dirs.h"

namespace velmora::platform {
namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The entry of folder spelled like name but for letter case, or name itself.
std::string matchLetterCase(const std::string& folder, const std::string& name) {
    if (exists(folder + "/" + name)) return name;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return name;
    std::string wanted = foldAsciiCase(name);
    std::string found = name;
    while (const dirent* entry = ::readdir(dir)) {
        if (foldAsciiCase(entry->d_name) == wanted) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

}  // namespace

std::string driveFolder(char drive) {
    return xdgDataHome() + "/velmora/drive_" + static_cast<char>(drive | 0x20);
}

unsigned hostPath(const std::string& path, std::string& host) {
    WindowsPath parsed;
    if (unsigned code = parseWindowsPath(path, parsed)) return code;
    if (parsed.drive == 0) {
        host = parsed.absolute ? "" : ".";
        if (parsed.absolute && parsed.parts.empty()) host = "/";
        for (const std::string& part : parsed.parts) host += "/" + part;
        return kErrorSuccess;
    }
    host = driveFolder(parsed.drive);
    makeDirectories(host);  // failures show up at the call that uses the path
    for (const std::string& part : parsed.parts) host += "/" + matchLetterCase(host, part);
    return kErrorSuccess;
}

}  // namespace velmora::platform
