// The name filter and showing all records again.
#include "browser/Unit1.h"
#include "browser/Unit6.h"

namespace velmora {

void TForm1::FiltByNameClick() {
    TForm6 dialog(*this);
    dialog.exec();
}

void TForm1::ShowAllClick() {
    ADOQuery1.setSql(kShowAllStatement);
    ADOQuery1.open();
    if (currentPictureIsNull()) {
        Image1->clear();
    } else {
        showCurrentPicture();
    }
}

}  // namespace velmora
