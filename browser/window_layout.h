#pragma once
// Where the main window and its controls sit, in design pixels at 96 DPI: one table
// for every view (a view scales it by its screen's density).

#include <string_view>

namespace velmora {

// A place in design pixels: x, y and size.
struct DialogRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The component names of the controls a view places by name (mainWindowPlace()).
namespace component {
inline constexpr const char* kNameCaption = "Label1";
inline constexpr const char* kNameLabel = "DBText1";  // the current name, in red
inline constexpr const char* kCountCaption = "Label2";
inline constexpr const char* kCountLabel = "Label3";  // the picture count, in red
inline constexpr const char* kPopupHint = "Label4";   // on red
inline constexpr const char* kNameList = "DBGrid1";
inline constexpr const char* kPictureArea = "ScrollBox1";
inline constexpr const char* kPicture = "Image1";
}  // namespace component

// The main window: x, y on the screen and its client size.
inline constexpr DialogRect kMainWindowGeometry{287, 126, 788, 478};
// The picture inside the picture area (`Image1` in `ScrollBox1`). Its hint and its
// click belong to this place only, not to the black area around it.
inline constexpr DialogRect kPictureInArea{8, 8, 545, 401};
// The name list's row indicator (the current, edited or inserted row) is this wide.
inline constexpr int kRowIndicatorWidth = 14;
// Font heights in pixels: the window's and the red name and count labels'.
inline constexpr int kWindowFontHeight = 11;
inline constexpr int kRedLabelFontHeight = 13;

// The place of the control with this component name (buttons, labels, the name list,
// the picture area); empty for any other name.
DialogRect mainWindowPlace(std::string_view componentName);

// place in the device pixels of a screen with this pixel ratio.
DialogRect inDevicePixels(const DialogRect& place, double pixelRatio);

}  // namespace velmora
