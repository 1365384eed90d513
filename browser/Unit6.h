#pragma once
// TForm6, the filter dialog: reopens the picture query on the names that contain
// the typed text.

#include "browser/small_dialog.h"

namespace velmora {

class TForm1;

// The name filter statement; the typed text is bound to ?1.
inline constexpr const char* kFilterStatement = "select * from pictures where filename like '%' || ?1 || '%'\r\n";
inline constexpr const char* kShowAllStatement = "select * from pictures\r\n";

class TForm6 : public SmallDialog {
    Q_OBJECT

public:
    explicit TForm6(TForm1& main);
    void Button1Click() override;

private:
    TForm1& main_;
};

}  // namespace velmora
