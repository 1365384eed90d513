#pragma once
// Where the main window and its controls sit, in design pixels at 96 DPI: one table
// for every view (a view scales it by its screen's density).

#include <string_view>

#include "browser/name_dialogs.h"

namespace velmora {

// The main window: x, y on the screen and its client size.
inline constexpr DialogRect kMainWindowGeometry{287, 126, 788, 478};
// The picture inside the picture area (`Image1` in `ScrollBox1`).
inline constexpr DialogRect kPictureInArea{8, 8, 545, 401};
// The name list's row indicator (the current, edited or inserted row) is this wide.
inline constexpr int kRowIndicatorWidth = 14;
// Font heights in pixels: the window's and the red name and count labels'.
inline constexpr int kWindowFontHeight = 11;
inline constexpr int kRedLabelFontHeight = 13;

// The place of the control with this component name (buttons, labels, the name list
// "DBGrid1", the picture area "ScrollBox1"); empty for any other name.
DialogRect mainWindowPlace(std::string_view componentName);

}  // namespace velmora
