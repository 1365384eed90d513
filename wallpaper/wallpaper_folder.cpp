#include "wallpaper/wallpaper_folder.h"

#include "base/error.h"
#include "base/system_error.h"
#include "wallpaper/folder_chain.h"
#include "wallpaper/io_error.h"
#include "wallpaper/wallpaper_location.h"

namespace velmora {

using namespace platform;

WallpaperFolders wallpaperFolders(Files& files) {
    const std::string localAppData = files.localAppDataFolder();
    return {kWallpaperFolder, localAppData.empty() ? "" : userWallpaperFolder(localAppData)};
}

void deletePreviousWallpaper(Files& files, const WallpaperFolders& folders, const std::string& name) {
    files.deleteFile(wallpaperFilePath(name));
    if (!folders.user.empty()) files.deleteFile(wallpaperFileIn(folders.user, name));
}

void removeWallpaperFolder(Files& files, const WallpaperFolders& folders) {
    if (files.removeDirectory(folders.machine)) return;
    const unsigned code = files.lastError();
    const bool machineMissing = code == kErrorFileNotFound || code == kErrorPathNotFound;
    if (folders.user.empty() || !(code == kErrorAccessDenied || machineMissing)) throw Error(ioErrorMessage(code));
    if (directoryExists(files, folders.user)) {
        if (!files.removeDirectory(folders.user)) throw Error(ioErrorMessage(files.lastError()));
    } else if (machineMissing) {
        throw Error(ioErrorMessage(code));
    }
}

bool prepareMachineFolder(Files& files, const WallpaperFolders& folders) {
    if (directoryExists(files, folders.machine) || createFolderChain(files, folders.machine)) return true;
    return files.lastError() != kErrorAccessDenied;
}

std::string writeWallpaperFile(Files& files, const WallpaperFolders& folders, bool machineUsable,
                               const std::string& name, const std::vector<ByteRun>& runs) {
    const std::string machineFile = wallpaperFilePath(name);
    if (machineUsable || folders.user.empty()) {
        if (files.createFileFromRuns(machineFile, runs)) return machineFile;
        if (files.lastError() != kErrorAccessDenied || folders.user.empty())
            throw Error(cannotCreateFileMessage(machineFile, files.lastError()));
    }
    const std::string userFile = wallpaperFileIn(folders.user, name);
    createFolderChain(files, folders.user);
    if (!files.createFileFromRuns(userFile, runs)) throw Error(cannotCreateFileMessage(userFile, files.lastError()));
    return userFile;
}

}  // namespace velmora
