#pragma once
// TForm7, the new-file dialog: copies the template pictures.vlm of the current
// directory to the typed name, opens the copy and deletes its records.

#include "browser/small_dialog.h"

namespace velmora {

class TForm1;

class TForm7 : public SmallDialog {
    Q_OBJECT

public:
    explicit TForm7(TForm1& main);
    void Button1Click() override;

private:
    TForm1& main_;
};

}  // namespace velmora
