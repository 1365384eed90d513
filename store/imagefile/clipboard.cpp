#include "store/imagefile/clipboard.h"

namespace velmora {

void copyPicture(Clipboard& clipboard, JpegPicture& picture) {
    clipboard.clear();
    const Bitmap& bitmap = picture.bitmap();
    if (!bitmap.empty()) {
        clipboard.setBitmap(bitmap);
    }
}

PictureContainer pastePicture(Clipboard& clipboard) {
    PictureContainer container;
    container.assign(clipboard.bitmap());
    return container;
}

}  // namespace velmora
