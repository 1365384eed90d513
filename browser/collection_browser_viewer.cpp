// The full-size viewer.
#include "browser/collection_browser.h"

namespace velmora {

void CollectionBrowser::openViewer() {
    guard([this] {
        dataSource_.edit();
        if (currentPictureIsNull()) {
            view_.showMessage(MessageKind::Condition, texts().noPictureToView);
            return;
        }
        const ViewerContent content = viewerContent();
        viewerPicture_ = content.picture;
        struct Closed {
            std::optional<JpegPicture>& picture;
            ~Closed() { picture.reset(); }
        } closed{viewerPicture_};
        view_.showViewer(content);
    });
}

ViewerContent CollectionBrowser::viewerContent() {
    ViewerContent content;
    content.caption = texts().viewerCaption + fillIn(texts().viewerCaptionName, {currentName_});
    content.picture.readStored(query_.fieldByName("picture").asBytes());
    content.picture.bitmap();  // decoded here: a picture that does not decode ends the command
    content.hint = fillIn(texts().viewerHint,
                          {std::to_string(content.picture.width()), std::to_string(content.picture.height())});
    return content;
}

void CollectionBrowser::viewerPrevious() { stepViewer(&CollectionBrowser::previous); }

void CollectionBrowser::viewerNext() { stepViewer(&CollectionBrowser::next); }

void CollectionBrowser::stepViewer(void (CollectionBrowser::*move)()) {
    if (!viewerPicture_) return;
    const int before = query_.currentRow();
    (this->*move)();
    if (query_.currentRow() == before) return;  // at either end the viewer stays as it is
    guard([this] {
        const ViewerContent content = viewerContent();
        viewerPicture_ = content.picture;
        view_.showInViewer(content);
    });
}

}  // namespace velmora
