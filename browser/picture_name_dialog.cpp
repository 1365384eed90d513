#include "browser/picture_name_dialog.h"

#include "browser/main_window.h"
#include "browser/message_boxes.h"

namespace velmora {

namespace {

SmallDialogDesign design(const QString& proposedName) {
    SmallDialogDesign d;
    d.name = "Form2";
    d.caption = "为此图片命名     ";
    d.size = {346, 220};
    d.label = "  请为此图片起一个名字    ";
    d.labelGeometry = {48, 24, 241, 20};
    d.editText = proposedName;
    d.editGeometry = {64, 72, 193, 21};
    d.okGeometry = {56, 128, 89, 25};
    d.cancelGeometry = {184, 128, 89, 25};
    return d;
}

}  // namespace

PictureNameDialog::PictureNameDialog(MainWindow& main, const QString& proposedName)
    : SmallDialog(design(proposedName), &main), main_(main) {}

void PictureNameDialog::okClicked() {
    if (textEdit->text().isEmpty()) {
        showCondition("请输入图片名！");
        return;
    }
    main_.nameEntry.name = textEdit->text().toStdString();
    main_.nameEntry.accepted = true;
    accept();
}

}  // namespace velmora
