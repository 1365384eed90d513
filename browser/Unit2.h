#pragma once
// TForm2, the naming dialog of the adding commands: confirms a non-empty name into
// the main window's name entry result.

#include "browser/small_dialog.h"

namespace velmora {

class TForm1;

class TForm2 : public SmallDialog {
    Q_OBJECT

public:
    TForm2(TForm1& main, const QString& proposedName);
    void Button1Click() override;

private:
    TForm1& main_;
};

}  // namespace velmora
