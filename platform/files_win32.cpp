#include "platform/files_win32.h"

#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

#include "base/file_replace.h"
#include "base/utf16.h"

namespace velmora::platform {

bool WindowsFiles::outcome(bool ok) {
    if (!ok) lastError_ = GetLastError();
    return ok;
}

bool WindowsFiles::deleteFile(const std::string& path) {
    return outcome(DeleteFileW(toUtf16(path).c_str()));
}

bool WindowsFiles::removeDirectory(const std::string& path) {
    return outcome(RemoveDirectoryW(toUtf16(path).c_str()));
}

bool WindowsFiles::createDirectory(const std::string& path) {
    return outcome(CreateDirectoryW(toUtf16(path).c_str(), nullptr));
}

std::uint32_t WindowsFiles::fileAttributes(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(toUtf16(path).c_str());
    outcome(attributes != INVALID_FILE_ATTRIBUTES);
    return attributes;
}

bool WindowsFiles::createFile(const std::string& path, const Bytes& content) {
    const FileReplaceResult result = replaceFile(path, content.data(), content.size());
    if (result.error != 0) lastError_ = result.error;
    return result.error == 0;
}

bool WindowsFiles::copyFile(const std::string& existingPath, const std::string& newPath, bool failIfExists) {
    return outcome(CopyFileW(toUtf16(existingPath).c_str(), toUtf16(newPath).c_str(), failIfExists));
}

std::string WindowsFiles::currentDirectory() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(length, L'\0');
    const DWORD used = GetCurrentDirectoryW(length, folder.data());
    if (!outcome(used != 0 && used < length)) return "";
    folder.resize(used);
    return fromUtf16(folder);
}

std::string WindowsFiles::localAppDataFolder() {
    PWSTR folder = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder);
    const std::string path = SUCCEEDED(result) && folder ? fromUtf16(folder) : "";
    CoTaskMemFree(folder);
    return path;
}

}  // namespace velmora::platform
