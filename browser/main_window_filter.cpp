// The name filter and showing all records again.
#include "browser/main_window.h"
#include "browser/filter_dialog.h"

namespace velmora {

void MainWindow::filterByName() {
    FilterDialog dialog(*this);
    dialog.exec();
}

void MainWindow::showAll() {
    pictures.setSql(kShowAllStatement);
    pictures.open();
    if (currentPictureIsNull()) {
        pictureView->clear();
    } else {
        showCurrentPicture();
    }
}

}  // namespace velmora
