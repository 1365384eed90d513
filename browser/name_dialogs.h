#pragma once
// The small dialogs that ask for one text (a picture's name, a new name, a filter
// text, a new file's name, a server collection's address): one table of their designs, which every view
// lays out the same way. Each has a red label, an edit box whose text is selected
// when it opens, and the buttons "确定" and "取消"; neither button is bound to Enter
// or Esc, and the close box cancels.

#include <optional>

#include "browser/texts.h"
#include "browser/window_layout.h"

namespace velmora {

enum class NameDialogKind { PictureName, Rename, Filter, NewFile, ServerAddress };

struct NameDialogDesign {
    const char* componentName;
    const char* TextTable::*caption;
    int width, height;        // outer size, or the client size when clientSize is set
    bool clientSize = false;
    bool resizable = true;
    bool minMaxBoxes = false;
    std::optional<DialogRect> screenPosition{};  // x, y on the screen; else centred on the main window
    const char* TextTable::*label;
    DialogRect labelGeometry;
    int labelFontHeight = 16;
    bool labelBold = true;
    DialogRect editGeometry;
    DialogRect okGeometry;
    DialogRect cancelGeometry;
};

const NameDialogDesign& nameDialogDesign(NameDialogKind dialog);

}  // namespace velmora
