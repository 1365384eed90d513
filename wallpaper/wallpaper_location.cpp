#include "wallpaper/wallpaper_location.h"

namespace velmora {

std::string wallpaperFilePath(const std::string& name) {
    return kWallpaperFolder + "\\" + name + ".bmp";
}

std::string registryKeyPath(const std::string& key) {
    return key.empty() || key[0] != '\\' ? key : key.substr(1);
}

bool nameLeavesWallpaperFolder(const std::string& name) {
    // Without a separator, ".." is the only name that could mean another folder.
    return name.find_first_of("\\/") != std::string::npos || name == "..";
}

}  // namespace velmora
