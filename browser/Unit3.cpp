#include "browser/Unit3.h"

#include "browser/Unit1.h"

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

TForm3::TForm3(TForm1& main) : SmallDialog(design(), &main), main_(main) {}

void TForm3::Button1Click() {
    main_.DataSource1.edit();
    main_.ADOQuery1.fieldByName("filename").setAsString(Edit1->text().toStdString());
    // A failed post keeps the dialog open, so the text can be corrected.
    main_.ADOQuery1.post();
    accept();
}

}  // namespace velmora
