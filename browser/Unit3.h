#pragma once
// TForm3, the rename dialog: writes the typed text, unchecked, as the current
// record's name.

#include "browser/small_dialog.h"

namespace velmora {

class TForm1;

class TForm3 : public SmallDialog {
    Q_OBJECT

public:
    explicit TForm3(TForm1& main);
    void Button1Click() override;

private:
    TForm1& main_;
};

}  // namespace velmora
