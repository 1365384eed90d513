#pragma once
// The system clipboard as the store sees it: bitmaps only, no JPEG bytes, no names.
// An implementation per platform (Qt: qt_window/system_clipboard.h); tests use
// MemoryClipboard.

#include "store/imagefile/picture_container.h"
#include "store/picture/bitmap.h"
#include "store/picture/jpeg_picture.h"

namespace velmora {

class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Whether a bitmap can be taken, also one derived from another image format.
    // Raises "Cannot open clipboard".
    virtual bool hasBitmap() = 0;
    // Empties the clipboard: every format on it is gone. Raises "Cannot open clipboard".
    virtual void clear() = 0;
    // Puts a copy of the bitmap (with its palette, if any) on the clipboard in place of
    // what was there, in the forms other programs read. Raises "Cannot open clipboard".
    virtual void setBitmap(const Bitmap& bitmap) = 0;
    // The clipboard's bitmap, same size and colours. Raises "Cannot open clipboard", or
    // "Unsupported clipboard format" when there is no bitmap to be had.
    virtual Bitmap bitmap() = 0;
};

// Copy picture: empties the clipboard, decodes the picture (a decoder error leaves the
// clipboard empty) and puts its bitmap there; an empty bitmap puts nothing.
void copyPicture(Clipboard& clipboard, JpegPicture& picture);

// Paste picture: a container holding the clipboard's bitmap.
PictureContainer pastePicture(Clipboard& clipboard);

}  // namespace velmora
