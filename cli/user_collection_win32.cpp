#include "cli/user_collection_win32.h"

#include <windows.h>
#include <shlobj.h>

#include "base/error.h"
#include "base/utf16.h"
#include "store/database/collection_file.h"

namespace velmora::win32 {

std::string userCollectionFolder() {
    PWSTR roaming = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming))) folder = fromUtf16(roaming);
    CoTaskMemFree(roaming);
    if (folder.empty()) throw Error("cannot find the application data folder");
    return folder + "\\Velmora";
}

void enterUserCollection(const std::string& folder) {
    const std::wstring wide = toUtf16(folder);
    const int made = SHCreateDirectoryExW(nullptr, wide.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS)
        throw Error("cannot create the folder " + folder);
    if (!SetCurrentDirectoryW(wide.c_str())) throw Error("cannot enter the folder " + folder);
    if (GetFileAttributesW(L"pictures.vlm") != INVALID_FILE_ATTRIBUTES) return;
    try {
        createCollection(folder + "\\pictures.vlm");
    } catch (const Error&) {
        // Another start may have made it in the meantime: theirs is kept.
        if (GetFileAttributesW(L"pictures.vlm") == INVALID_FILE_ATTRIBUTES) throw;
    }
}

}  // namespace velmora::win32
