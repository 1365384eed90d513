#pragma once
// FilterDialog, the filter dialog: reopens the picture query on the names that contain
// the typed text.

#include "browser/small_dialog.h"

namespace velmora {

class MainWindow;

// The name filter statement; the typed text is bound to ?1.
inline constexpr const char* kFilterStatement = "select * from pictures where filename like '%' || ?1 || '%'\r\n";
inline constexpr const char* kShowAllStatement = "select * from pictures\r\n";

class FilterDialog : public SmallDialog {
    Q_OBJECT

public:
    explicit FilterDialog(MainWindow& main);
    void okClicked() override;

private:
    MainWindow& main_;
};

}  // namespace velmora
