#include "browser/wallpaper_settings_editor.h"

#include "base/error.h"

namespace velmora {

namespace {

// The interval the dialog offers while rotation is off.
constexpr int kOfferedMinutes = 30;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

WallpaperSettings WallpaperSettingsEditor::saved() const {
    if (!services_) throw Error("This window keeps no wallpaper settings");
    return loadWallpaperSettings(services_->store);
}

WallpaperSettingsChoice WallpaperSettingsEditor::offer(const WallpaperSettings& saved) {
    return {.fit = saved.fit,
            .perMonitor = saved.perMonitor,
            .rotate = saved.rotateMinutes.has_value(),
            .interval = durationText(saved.rotateMinutes.value_or(kOfferedMinutes)),
            .order = saved.order,
            .paused = saved.rotationPaused,
            .lockScreen = saved.lockScreen};
}

std::optional<WallpaperSettings> WallpaperSettingsEditor::apply(const WallpaperSettings& before,
                                                                const WallpaperSettingsChoice& choice) {
    WallpaperSettings after = before;
    after.fit = choice.fit;
    after.perMonitor = choice.perMonitor;
    after.order = choice.order;
    after.lockScreen = choice.lockScreen;
    after.rotateMinutes.reset();
    if (choice.rotate) {
        after.rotateMinutes = parseDuration(trimmed(choice.interval));
        if (!after.rotateMinutes) return std::nullopt;
    }
    after.rotationPaused = after.rotateMinutes && choice.paused;
    return after;
}

std::string WallpaperSettingsEditor::save(const WallpaperSettings& before, const WallpaperSettings& after,
                                          const std::string& collection) {
    if (!services_) throw Error("This window keeps no wallpaper settings");
    return changeWallpaperSettings(*services_, before, after, timerStepsBetween(before, after), collection);
}

}  // namespace velmora
