#pragma once
// The Windows clipboard in its own formats: a copy puts CF_DIB and CF_DIBV5; a paste
// reads CF_DIBV5, CF_DIB or the registered "PNG" format (decoded with WIC), whichever
// the clipboard lists first (the form the other program put there rather than one the
// system derived from it). Failing to open the clipboard raises "Cannot open clipboard".
#include <windows.h>

#include "store/imagefile/clipboard.h"

namespace velmora::win32 {

class Win32Clipboard : public Clipboard {
public:
    // owner: the window that opens the clipboard (a hidden one of the calling thread
    // when null).
    explicit Win32Clipboard(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }

    bool hasBitmap() override;
    void clear() override;
    void setBitmap(const Bitmap& bitmap) override;
    Bitmap bitmap() override;

private:
    HWND owner_;
};

}  // namespace velmora::win32
