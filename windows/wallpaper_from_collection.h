#pragma once
// The wallpaper command without a window: the picture is picked from a collection
// file by name, or as the one after the picture the registry remembers.

#include <string>

#include "platform/platform.h"

namespace velmora {

// Makes the first record named `name` of the collection the wallpaper, through the
// same command as the window's button. Raises velmora::Error when the file cannot
// be opened, no record has that name, the record holds no picture, or the
// command fails.
void setWallpaperByName(const std::string& collection, const std::string& name,
                        const platform::Platform& platform);

// The same for the record after the one whose name the registry remembers, wrapping
// round to the first; the first when nothing is remembered or the name is gone.
// Returns the name used.
std::string setNextWallpaper(const std::string& collection, const platform::Platform& platform);

}  // namespace velmora
