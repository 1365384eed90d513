#pragma once
// Where the wallpaper lives: the registry value that remembers the picture's name,
// and the folder and file the bitmap is written to. None of it is configurable.

#include <string>

namespace velmora {

inline const std::string kWallpaperKey = "\\software\\Velmora";
inline const std::string kWallpaperValue = "FileName";
inline const std::string kWallpaperFolder = "C:\\WINDOWS\\Web\\Wallpaper\\myWallPaper";

// kWallpaperFolder + "\" + name + ".bmp", the name taken as it is.
std::string wallpaperFilePath(const std::string& name);
// folder + "\" + name + ".bmp".
std::string wallpaperFileIn(const std::string& folder, const std::string& name);

// The user's own wallpaper folder below localAppData (%LOCALAPPDATA%), for where the
// machine's folder is refused for want of rights.
std::string userWallpaperFolder(const std::string& localAppData);

// The key path as the registry receives it: without its leading backslash.
std::string registryKeyPath(const std::string& key);

// True when the file for name would not lie directly in the wallpaper folder: the
// name holds a path separator ("\" or "/") or is a ".." part.
bool nameLeavesWallpaperFolder(const std::string& name);

}  // namespace velmora
