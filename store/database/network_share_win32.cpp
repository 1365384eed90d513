#include <windows.h>

#include "base/utf16.h"
#include "store/database/network_share.h"

namespace velmora {

std::optional<std::string> networkShareOf(const std::string& path) {
    const std::wstring wide = toUtf16(path);
    wchar_t volume[MAX_PATH] = {};
    if (!GetVolumePathNameW(wide.c_str(), volume, MAX_PATH)) return std::nullopt;
    if (GetDriveTypeW(volume) == DRIVE_REMOTE || (volume[0] == L'\\' && volume[1] == L'\\' && volume[2] != L'?')) {
        return "a Windows network share";
    }
    return std::nullopt;
}

}  // namespace velmora
