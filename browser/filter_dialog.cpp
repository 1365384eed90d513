#include "browser/filter_dialog.h"

#include "browser/main_window.h"

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

FilterDialog::FilterDialog(MainWindow& main) : SmallDialog(design(), &main), main_(main) {}

void FilterDialog::okClicked() {
    // The text is a bound value: a quote is an ordinary character, and nothing typed
    // can change the statement. "%" and "_" keep their wildcard meaning.
    main_.pictures.setSql(kFilterStatement, {textEdit->text().toStdString()});
    main_.pictures.open();
    if (main_.currentPictureIsNull()) {
        main_.pictureView->clear();
    } else {
        main_.showCurrentPicture();
    }
    accept();
}

}  // namespace velmora
