#include "browser/name_dialogs.h"

namespace velmora {

namespace {

using T = TextTable;

const NameDialogDesign kDesigns[] = {
    {.componentName = "Form2",
     .caption = &T::pictureNameCaption,
     .width = 346,
     .height = 220,
     .label = &T::pictureNameLabel,
     .labelGeometry = {48, 24, 241, 20},
     .editGeometry = {64, 72, 193, 21},
     .okGeometry = {56, 128, 89, 25},
     .cancelGeometry = {184, 128, 89, 25}},
    {.componentName = "Form3",
     .caption = &T::renameCaption,
     .width = 345,
     .height = 220,
     .label = &T::renameLabel,
     .labelGeometry = {32, 24, 257, 25},
     .editGeometry = {48, 64, 217, 21},
     .okGeometry = {56, 128, 89, 25},
     .cancelGeometry = {184, 128, 89, 25}},
    {.componentName = "Form6",
     .caption = &T::filterCaption,
     .width = 487,
     .height = 186,
     .clientSize = true,
     .resizable = false,
     .label = &T::filterLabel,
     .labelGeometry = {32, 32, 433, 16},
     .labelFontHeight = 13,
     .labelBold = false,
     .editGeometry = {56, 64, 353, 21},
     .okGeometry = {88, 120, 89, 25},
     .cancelGeometry = {272, 120, 89, 25}},
    {.componentName = "Form7",
     .caption = &T::newFileCaption,
     .width = 345,
     .height = 218,
     .minMaxBoxes = true,
     .screenPosition = DialogRect{339, 359, 0, 0},
     .label = &T::newFileLabel,
     .labelGeometry = {8, 24, 329, 20},
     .editGeometry = {40, 64, 257, 21},
     .okGeometry = {48, 128, 89, 25},
     .cancelGeometry = {192, 128, 89, 25}},
    {.componentName = "ServerAddressForm",
     .caption = &T::serverAddressCaption,
     .width = 487,
     .height = 186,
     .clientSize = true,
     .resizable = false,
     .label = &T::serverAddressLabel,
     .labelGeometry = {24, 24, 433, 20},
     .editGeometry = {24, 64, 433, 21},
     .okGeometry = {88, 120, 89, 25},
     .cancelGeometry = {272, 120, 89, 25}},
};

}  // namespace

const NameDialogDesign& nameDialogDesign(NameDialogKind dialog) { return kDesigns[static_cast<int>(dialog)]; }

}  // namespace velmora
