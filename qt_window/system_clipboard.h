#pragma once
// The store's clipboard on the system clipboard of the running QGuiApplication. Other
// programs see the bitmap as image/png, image/bmp and Qt's other image forms; any image
// they offer is pasted. On X, another program's picture is taken off the window's
// thread, at most 320 MiB of it, with a progress window and Cancel when it takes long
// (x11_clipboard_image.h); one that cannot be had is "Unsupported clipboard format".

#include "store/imagefile/clipboard.h"

namespace velmora {

class QtClipboard : public Clipboard {
public:
    // All calls raise "Cannot open clipboard" when there is no QGuiApplication.
    bool hasBitmap() override;
    void clear() override;
    void setBitmap(const Bitmap& bitmap) override;
    // 24-bit blue-green-red; an alpha channel is dropped, the colours kept.
    Bitmap bitmap() override;
};

}  // namespace velmora
