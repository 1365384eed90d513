#include "browser/wallpaper_settings_form.h"

#include <iterator>

namespace velmora {

WallpaperSettingsForm::WallpaperSettingsForm(const WallpaperSettingsChoice& saved)
    : leftOutAvailable_(saved.leftOut.has_value()) {
    fields_.fit = saved.fit ? static_cast<int>(*saved.fit) + 1 : 0;
    fields_.perMonitor = saved.perMonitor;
    fields_.rotate = saved.rotate;
    fields_.interval = saved.interval;
    fields_.order = saved.order == RotationOrder::Shuffle ? 1 : 0;
    fields_.paused = saved.paused;
    fields_.lockScreen = saved.lockScreen;
    fields_.leftOut = saved.leftOut.value_or(false);
}

std::vector<const char*> WallpaperSettingsForm::fitCaptions() {
    std::vector<const char*> captions{texts().fitDesktop};
    captions.insert(captions.end(), std::begin(texts().fitModes), std::end(texts().fitModes));
    return captions;
}

std::vector<const char*> WallpaperSettingsForm::orderCaptions() { return {texts().orderInTurn, texts().orderShuffle}; }

WallpaperSettingsChoice WallpaperSettingsForm::choice(const WallpaperSettingsFields& shown) const {
    WallpaperSettingsChoice chosen;
    constexpr int kModes = static_cast<int>(std::size(platform::kFitModes));
    if (shown.fit > 0 && shown.fit <= kModes) chosen.fit = platform::kFitModes[shown.fit - 1];
    chosen.perMonitor = shown.perMonitor;
    chosen.rotate = shown.rotate;
    chosen.interval = shown.interval;
    chosen.order = shown.order == 1 ? RotationOrder::Shuffle : RotationOrder::InTurn;
    chosen.paused = shown.rotate && shown.paused;
    chosen.lockScreen = shown.lockScreen;
    if (leftOutAvailable_) chosen.leftOut = shown.leftOut;
    return chosen;
}

}  // namespace velmora
