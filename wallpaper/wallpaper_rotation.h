#pragma once
// The wallpaper command without any window, for the command line and a timer: a
// record of a picture data file, picked by its name, as the next one of the rotation
// or as the one shown before, becomes the desktop wallpaper in the user's layout.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "wallpaper/wallpaper_settings.h"

namespace velmora {

// The picture name the registry remembers as the wallpaper; "" when there is none.
// Raises the wallpaper command's registry errors.
std::string rememberedWallpaperName(platform::Registry& registry);

// The record after the first one named `remembered`, wrapping round; the first when
// no record has that name. `names` (null names as nullopt) must not be empty.
std::size_t recordAfter(const std::vector<std::optional<std::string>>& names, const std::string& remembered);

enum class WallpaperStep { Named, Next, Previous };

struct WallpaperChoice {
    WallpaperStep step = WallpaperStep::Next;
    std::string name;  // for Named
};

// Opens the picture data file at path and runs the wallpaper command on the record
// chosen: the first one named so; the next one (in turn: after the remembered
// wallpaper; shuffled: one the current round has not shown, every picture once per
// round); or the one shown before the current one (stepping back through what Next
// showed, else the record before the remembered one). Pictures left out of rotation
// are skipped by Next and Previous. Nothing is shown and no keystroke is sent.
// Returns the name of the record used. Raises Error for a file that does not open, an
// empty file, a name no record has, a collection whose every picture is left out, a
// record without a picture (the command's own message) and every error the command
// raises; the rotation's memory changes only when the command completed.
std::string changeWallpaper(const std::string& path, const WallpaperChoice& choice, const WallpaperSettings& settings,
                            const platform::Platform& platform);

// changeWallpaper with no settings chosen: by name, or Next without one.
std::string setWallpaperFromFile(const std::string& path, const std::optional<std::string>& name,
                                 const platform::Platform& platform);

// Leaves the first picture named `name` out of rotation, or takes it back in. The
// mark follows the picture's content, not its row. Raises Error as changeWallpaper.
void setLeftOutOfRotation(const std::string& path, const std::string& name, bool leftOut);

}  // namespace velmora
