#include "browser/new_file_dialog.h"

#include "browser/main_window.h"

namespace velmora {

namespace {

SmallDialogDesign design() {
    SmallDialogDesign d;
    d.name = "Form7";
    d.caption = "输入新建图片数据库文件名";
    d.size = {345, 218};
    d.minMaxBoxes = true;
    d.screenPosition = QPoint(339, 359);
    d.label = "    请输入图片数据库文件的名字：          ";
    d.labelGeometry = {8, 24, 329, 20};
    d.editText = "新建图片数据库文件";
    d.editGeometry = {40, 64, 257, 21};
    d.okGeometry = {48, 128, 89, 25};
    d.cancelGeometry = {192, 128, 89, 25};
    return d;
}

}  // namespace

NewFileDialog::NewFileDialog(MainWindow& main) : SmallDialog(design(), &main), main_(main) {}

void NewFileDialog::okClicked() {
    main_.createPictureFile(textEdit->text().toStdString());
    accept();
}

}  // namespace velmora
