#pragma once
// The wallpaper command without any window, for the command line and a timer: a
// record of a picture data file, picked by its name or as the one after the
// remembered wallpaper, becomes the desktop wallpaper.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace velmora {

// The picture name the registry remembers as the wallpaper; "" when there is none.
// Raises the wallpaper command's registry errors.
std::string rememberedWallpaperName(platform::Registry& registry);

// The record after the first one named `remembered`, wrapping round; the first when
// no record has that name. `names` (null names as nullopt) must not be empty.
std::size_t recordAfter(const std::vector<std::optional<std::string>>& names, const std::string& remembered);

// Opens the picture data file at path and runs the wallpaper command on the first
// record named `name`, or, without a name, on the record after the remembered one.
// Nothing is shown and no keystroke is sent: the desktop stays as the user left it.
// Returns the name of the record used. Raises Error for a file that does not open, an
// empty file, a name no record has, a record without a picture (the command's own
// message) and every error the command raises.
std::string setWallpaperFromFile(const std::string& path, const std::optional<std::string>& name,
                                 const platform::Platform& platform);

}  // namespace velmora
