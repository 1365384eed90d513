#pragma once
// NewFileDialog, the new-file dialog: copies the template pictures.vlm of the current
// directory to the typed name, opens the copy and deletes its records.

#include "browser/small_dialog.h"

namespace velmora {

class MainWindow;

class NewFileDialog : public SmallDialog {
    Q_OBJECT

public:
    explicit NewFileDialog(MainWindow& main);
    void okClicked() override;

private:
    MainWindow& main_;
};

}  // namespace velmora
