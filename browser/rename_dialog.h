#pragma once
// RenameDialog, the rename dialog: writes the typed text, unchecked, as the current
// record's name.

#include "browser/small_dialog.h"

namespace velmora {

class MainWindow;

class RenameDialog : public SmallDialog {
    Q_OBJECT

public:
    explicit RenameDialog(MainWindow& main);
    void okClicked() override;

private:
    MainWindow& main_;
};

}  // namespace velmora
