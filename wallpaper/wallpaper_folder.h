#pragma once
// Which folder the wallpaper bitmap goes to. A standard Windows account may not create
// or write anything below the Windows folder; there, and only for want of rights
// (access denied), the bitmap goes to the user's own folder instead. The remembered
// name is the same either way, so the previous file is looked for in both.

#include <string>
#include <vector>

#include "base/bytes.h"
#include "platform/files.h"

namespace velmora {

struct WallpaperFolders {
    std::string machine;  // kWallpaperFolder
    std::string user;     // %LOCALAPPDATA%\Velmora\Wallpaper; "" where the system has none
};

WallpaperFolders wallpaperFolders(platform::Files& files);

// Deletes the previous wallpaper file from both folders; failures are ignored.
void deletePreviousWallpaper(platform::Files& files, const WallpaperFolders& folders, const std::string& name);

// Removes the folder the previous wallpaper was written to: the machine's or, where
// that one is missing or refused and the user's exists, the user's. Raises the I/O
// error of the failed removal.
void removeWallpaperFolder(platform::Files& files, const WallpaperFolders& folders);

// Creates the machine's folder and those above it when missing. False when that was
// refused for want of rights; other failures show at the file's creation.
bool prepareMachineFolder(platform::Files& files, const WallpaperFolders& folders);

// Writes the runs as name + ".bmp" into the machine's folder or, where that one is
// refused for want of rights, into the user's (created when missing). Returns the path
// written; raises the file-creation error of the folder tried last.
std::string writeWallpaperFile(platform::Files& files, const WallpaperFolders& folders, bool machineUsable,
                               const std::string& name, const std::vector<ByteRun>& runs);

}  // namespace velmora
