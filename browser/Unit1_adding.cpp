// Adding pictures from a file or from the clipboard.
#include <optional>

#include "browser/Unit1.h"
#include "browser/Unit2.h"
#include "browser/message_boxes.h"
#include "store/imagefile/clipboard.h"
#include "store/imagefile/picture_file.h"

namespace velmora {

namespace {

// Clears the name entry result on every way out of an adding command.
struct AcceptedFlagReset {
    NameEntryResult& entry;
    ~AcceptedFlagReset() { entry.accepted = false; }
};

}  // namespace

bool TForm1::askPictureName() {
    nameEntry.accepted = false;
    TForm2 dialog(*this, "图片" + QString::number(pictureCount + 1));
    dialog.exec();
    return nameEntry.accepted;
}

void TForm1::appendPicture(JpegPicture& picture) {
    ADOQuery1.append();
    ADOQuery1.fieldByName("filename").setAsString(nameEntry.name);
    ADOQuery1.fieldByName("picture").writeBytes(picture.jpegData());
}

void TForm1::LoadFormFileClick() {
    AcceptedFlagReset reset{nameEntry};
    DataSource1.edit();
    auto path = services_.fileDialogs->execute(this, FileDialogKind::Open, OpenPictureDialog1);
    if (!path) return;
    JpegPicture picture = loadPictureFile(*path);
    std::optional<JpegPicture> previous;
    if (!currentPictureIsNull()) previous = Image1->picture();

    Image1->setPicture(picture);
    if (askPictureName()) {
        appendPicture(picture);
        // From a file the rule comes before the post: the refresh after it decides
        // the navigation buttons.
        applyAddedPictureRule();
        nameEntry.accepted = false;
        ADOQuery1.post();
    } else if (currentPictureIsNull() || !previous) {
        Image1->clear();
    } else {
        Image1->setPicture(*previous);
    }
}

void TForm1::PasteFromCBoardClick() {
    AcceptedFlagReset reset{nameEntry};
    DataSource1.edit();
    if (!services_.clipboard->hasBitmap()) {
        showCondition("剪贴板中没有二进制图片拷贝!");
        return;
    }
    JpegPicture previous;
    Field stored = ADOQuery1.fieldByName("picture");
    previous.readStored(stored.isNull() ? shareBytes({}) : stored.asBytes());

    PictureContainer pasted = pastePicture(*services_.clipboard);
    JpegPicture picture;
    picture.assignBitmap(pasted.bitmap());
    Image1->setPicture(picture);
    if (askPictureName()) {
        appendPicture(picture);
        // From the clipboard the rule comes last and decides the navigation buttons.
        ADOQuery1.post();
        applyAddedPictureRule();
    } else if (currentPictureIsNull()) {
        Image1->clear();
    } else {
        Image1->setPicture(previous);
    }
}

}  // namespace velmora
