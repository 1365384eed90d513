#include "wallpaper/wallpaper_location.h"

namespace velmora {

std::string wallpaperFilePath(const std::string& name) { return wallpaperFileIn(kWallpaperFolder, name); }

std::string wallpaperFileIn(const std::string& folder, const std::string& name) {
    return folder + "\\" + name + ".bmp";
}

std::string userWallpaperFolder(const std::string& localAppData) { return localAppData + "\\Velmora\\Wallpaper"; }

std::string registryKeyPath(const std::string& key) {
    return key.empty() || key[0] != '\\' ? key : key.substr(1);
}

bool nameLeavesWallpaperFolder(const std::string& name) {
    // Without a separator, ".." is the only name that could mean another folder.
    return name.find_first_of("\\/") != std::string::npos || name == "..";
}

}  // namespace velmora
