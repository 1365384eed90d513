#pragma once
// The picture preview beside the file list of the open and save dialogs: a child dialog
// (OFN_ENABLETEMPLATEHANDLE, OFN_ENABLEHOOK) whose pane shows the selected file's
// picture fitted into it, read by the store (JPEG, BMP) or the system's codecs.
#include <windows.h>

#include <memory>
#include <optional>

#include "store/picture/bitmap.h"
#include "win32_window/wic_image_decoder.h"

namespace velmora::win32 {

class PicturePreview {
public:
    PicturePreview();
    ~PicturePreview();
    PicturePreview(const PicturePreview&) = delete;
    PicturePreview& operator=(const PicturePreview&) = delete;

    // Sets the template, the hook and this preview as the dialog's custom data.
    void attach(OPENFILENAMEW& dialog);
    // The picture of path fitted into width x height; nothing for a folder or a file
    // that is no picture.
    static std::optional<Bitmap> fitted(const std::wstring& path, int width, int height, const ImageDecoder* decoder);

private:
    static UINT_PTR CALLBACK hook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void show(HWND dialog);
    void draw(const DRAWITEMSTRUCT& item) const;

    HGLOBAL template_ = nullptr;
    WicImageDecoder decoder_;
    std::optional<Bitmap> shown_;
};

}  // namespace velmora::win32
