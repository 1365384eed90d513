#include "browser/Unit6.h"

#include "browser/Unit1.h"

namespace velmora {

namespace {

SmallDialogDesign design() {
    SmallDialogDesign d;
    d.name = "Form6";
    d.caption = "设置图片过滤条件";
    d.size = {487, 186};
    d.clientSize = true;
    d.resizable = false;
    d.label = "      你需要列出一些图片，它们的文件名中要包含以下文字：                               ";
    d.labelGeometry = {32, 32, 433, 16};
    d.labelFontHeight = 13;
    d.labelBold = false;
    d.editText = "输入过滤文字";
    d.editGeometry = {56, 64, 353, 21};
    d.okGeometry = {88, 120, 89, 25};
    d.cancelGeometry = {272, 120, 89, 25};
    return d;
}

}  // namespace

TForm6::TForm6(TForm1& main) : SmallDialog(design(), &main), main_(main) {}

void TForm6::Button1Click() {
    // The text is a bound value: a quote is an ordinary character, and nothing typed
    // can change the statement. "%" and "_" keep their wildcard meaning.
    main_.ADOQuery1.setSql(kFilterStatement, {Edit1->text().toStdString()});
    main_.ADOQuery1.open();
    if (main_.currentPictureIsNull()) {
        main_.Image1->clear();
    } else {
        main_.showCurrentPicture();
    }
    accept();
}

}  // namespace velmora
