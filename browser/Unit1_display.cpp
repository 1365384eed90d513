// The main window's display of the current record, the navigation buttons and the
// availability rules.
#include "browser/Unit1.h"

namespace velmora {

bool TForm1::currentPictureIsNull() { return ADOQuery1.fieldByName("picture").isNull(); }

void TForm1::showCurrentPicture() {
    Field field = ADOQuery1.fieldByName("picture");
    if (field.isNull()) return;
    JpegPicture picture;
    picture.readStored(field.asBytes());
    Image1->setPicture(picture);
}

void TForm1::setPictureCommandsEnabled(bool enabled) {
    for (QAction* action : {DeleteFormDB, SaveToFile, SetToDesktop, Rename, ShowAll, FiltByName, CopyToCBoard,
                            CutToCBoard}) {
        action->setEnabled(enabled);
    }
    SpeedButton3->setEnabled(enabled);
    SpeedButton4->setEnabled(enabled);
}

void TForm1::updateCountLabel() { Label3->setText(QString::number(pictureCount) + "   张"); }

void TForm1::applyEmptyFileRule() {
    Image1->clear();
    SpeedButton1->setEnabled(false);
    SpeedButton2->setEnabled(false);
    setPictureCommandsEnabled(false);
    pictureCount = 0;
    updateCountLabel();
}

void TForm1::applyLoadedFileRule() {
    showCurrentPicture();
    pictureCount = ADOQuery1.recordCount();
    SpeedButton1->setEnabled(false);
    SpeedButton2->setEnabled(true);
    setPictureCommandsEnabled(true);
    updateCountLabel();
}

void TForm1::applyAddedPictureRule() {
    pictureCount += 1;
    updateCountLabel();
    SpeedButton1->setEnabled(true);
    SpeedButton2->setEnabled(false);
    setPictureCommandsEnabled(true);
}

void TForm1::DataSource1DataChange() {
    if (currentPictureIsNull()) {
        SpeedButton1->setEnabled(false);
        SpeedButton2->setEnabled(false);
        return;
    }
    showCurrentPicture();
    if (ADOQuery1.atStart()) {
        SpeedButton1->setEnabled(false);
        SpeedButton2->setEnabled(true);
    } else if (ADOQuery1.atEnd()) {
        SpeedButton1->setEnabled(true);
        SpeedButton2->setEnabled(false);
    } else {
        SpeedButton1->setEnabled(true);
        SpeedButton2->setEnabled(true);
    }
}

void TForm1::SpeedButton1Click() {
    if (currentPictureIsNull()) return;
    SpeedButton2->setEnabled(true);
    ADOQuery1.activate();
    ADOQuery1.prior();
    showCurrentPicture();
    if (ADOQuery1.atStart()) SpeedButton1->setEnabled(false);
}

void TForm1::SpeedButton2Click() {
    if (currentPictureIsNull()) return;
    SpeedButton1->setEnabled(true);
    ADOQuery1.activate();
    ADOQuery1.next();
    showCurrentPicture();
    if (ADOQuery1.atEnd()) SpeedButton2->setEnabled(false);
}

std::string TForm1::displayedName() const { return DBText1->text().toStdString(); }

void TForm1::refreshNameDisplays() {
    int row = ADOQuery1.currentRow();
    auto name = row >= 0 ? ADOQuery1.displayName(row) : std::nullopt;
    DBText1->setText(name ? QString::fromStdString(*name) : QString());
    DBGrid1->refresh();
}

void TForm1::blankNameDisplays() {
    DBText1->clear();
    DBGrid1->refresh();
}

}  // namespace velmora
