#include "browser/window_layout.h"

#include <utility>

namespace velmora {

DialogRect mainWindowPlace(std::string_view componentName) {
    static constexpr std::pair<const char*, DialogRect> kPlaces[] = {
        {"SpeedButton1", {8, 72, 89, 41}},   {"SpeedButton2", {8, 144, 89, 41}},  {"SpeedButton3", {8, 216, 89, 41}},
        {"SpeedButton4", {8, 290, 89, 41}},  {"SpeedButton6", {8, 360, 89, 41}},  {"SpeedButton5", {8, 432, 89, 41}},
        {"Label1", {112, 16, 90, 13}},       {"DBText1", {216, 14, 209, 17}},     {"Label2", {491, 16, 162, 13}},
        {"Label3", {659, 16, 113, 17}},      {"Label4", {496, 32, 281, 13}},      {"DBGrid1", {104, 48, 113, 425}},
        {"ScrollBox1", {224, 48, 561, 425}},
    };
    for (const auto& [name, place] : kPlaces) {
        if (componentName == name) return place;
    }
    return {};
}

}  // namespace velmora
