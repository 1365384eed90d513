#pragma once
// The wallpaper settings a user chooses once and every later change uses, from the
// window, the command line or the timer. Nothing chosen is today's behaviour: the
// desktop's own fit mode, one picture for every monitor, the collection in turn, the
// lock screen left alone.

#include <optional>
#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "platform/wallpaper_layout.h"

namespace velmora {

enum class RotationOrder { InTurn, Shuffle };

struct WallpaperSettings {
    std::optional<platform::FitMode> fit;
    bool perMonitor = false;
    RotationOrder order = RotationOrder::InTurn;
    // The timer's interval in minutes; none when rotation is off.
    std::optional<int> rotateMinutes;
    bool rotationPaused = false;
    bool lockScreen = false;

    platform::WallpaperLayout layout() const { return {fit, lockScreen, {}}; }
    bool operator==(const WallpaperSettings&) const = default;
};

// "in-turn" / "shuffle".
const char* rotationOrderName(RotationOrder order);
std::optional<RotationOrder> parseRotationOrder(const std::string& name);

// "30m", "2h", "1h30m", "90" (minutes); none for anything else, or zero. At most a year.
std::optional<int> parseDuration(const std::string& text);
// The shortest of those spellings: "30m", "2h", "1h30m".
std::string durationText(int minutes);

// The names under which the settings are stored.
const std::vector<std::string>& wallpaperSettingNames();

// Reads the settings from the store. A value this program cannot read raises Error
// naming it, as the store does for a damaged file: nothing is guessed.
WallpaperSettings loadWallpaperSettings(platform::SettingsStore& store);
// Writes them, keeping every other value the store holds.
void saveWallpaperSettings(platform::SettingsStore& store, const WallpaperSettings& settings);

}  // namespace velmora
