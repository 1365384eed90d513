#include "browser/rename_dialog.h"

#include "browser/main_window.h"

namespace velmora {

namespace {

SmallDialogDesign design() {
    SmallDialogDesign d;
    d.name = "Form3";
    d.caption = "重命名图片";
    d.size = {345, 220};
    d.label = "  请输入此图片的新名字";
    d.labelGeometry = {32, 24, 257, 25};
    d.editText = "新名字";
    d.editGeometry = {48, 64, 217, 21};
    d.okGeometry = {56, 128, 89, 25};
    d.cancelGeometry = {184, 128, 89, 25};
    return d;
}

}  // namespace

RenameDialog::RenameDialog(MainWindow& main) : SmallDialog(design(), &main), main_(main) {}

void RenameDialog::okClicked() {
    main_.dataSource.edit();
    main_.pictures.fieldByName("filename").setAsString(textEdit->text().toStdString());
    // A failed post keeps the dialog open, so the text can be corrected.
    main_.pictures.post();
    accept();
}

}  // namespace velmora
