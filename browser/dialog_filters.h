#pragma once
// The filter strings of the main window's file dialogs.

namespace velmora {

inline constexpr const char* kOpenPictureFilter =
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
    "PNG Image File (*.png)|*.png|GIF Image File (*.gif)|*.gif|WebP Image File (*.webp)|*.webp|"
    "TIFF Image File (*.tif;*.tiff)|*.tif;*.tiff|"
    "All Support Files(*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.webp;*.tif;*.tiff)|"
    "*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.webp;*.tif;*.tiff";
inline constexpr const char* kSavePictureFilter =
    "All (*.jpg;*.jpeg)|*.jpg;*.jpeg|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg";
inline constexpr const char* kOpenDataFileFilter = "Velmora 文件(*.vlm)|*.vlm";

}  // namespace velmora
