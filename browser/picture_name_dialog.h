#pragma once
// PictureNameDialog, the naming dialog of the adding commands: confirms a non-empty name into
// the main window's name entry result.

#include "browser/small_dialog.h"

namespace velmora {

class MainWindow;

class PictureNameDialog : public SmallDialog {
    Q_OBJECT

public:
    PictureNameDialog(MainWindow& main, const QString& proposedName);
    void okClicked() override;

private:
    MainWindow& main_;
};

}  // namespace velmora
