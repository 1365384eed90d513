#include "browser/window_layout.h"

#include <cmath>
#include <utility>

namespace velmora {

DialogRect mainWindowPlace(std::string_view componentName) {
    using namespace component;
    static constexpr std::pair<const char*, DialogRect> kPlaces[] = {
        {"SpeedButton1", {8, 72, 89, 41}},   {"SpeedButton2", {8, 144, 89, 41}},  {"SpeedButton3", {8, 216, 89, 41}},
        {"SpeedButton4", {8, 290, 89, 41}},  {"SpeedButton6", {8, 360, 89, 41}},  {"SpeedButton5", {8, 432, 89, 41}},
        {kNameCaption, {112, 16, 90, 13}},   {kNameLabel, {216, 14, 209, 17}},    {kCountCaption, {491, 16, 162, 13}},
        {kCountLabel, {659, 16, 113, 17}},   {kPopupHint, {496, 32, 281, 13}},    {kNameList, {104, 48, 113, 425}},
        {kPictureArea, {224, 48, 561, 425}},
    };
    for (const auto& [name, place] : kPlaces) {
        if (componentName == name) return place;
    }
    return {};
}

DialogRect inDevicePixels(const DialogRect& place, double pixelRatio) {
    auto device = [pixelRatio](int logical) { return static_cast<int>(std::lround(logical * pixelRatio)); };
    return {device(place.x), device(place.y), device(place.width), device(place.height)};
}

}  // namespace velmora
