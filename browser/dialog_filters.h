#pragma once
// The filter strings of the main window's file dialogs.

namespace velmora {

inline constexpr const char* kOpenPictureFilter =
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|All Support "
    "Files(*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp";
inline constexpr const char* kSavePictureFilter =
    "All (*.jpg;*.jpeg)|*.jpg;*.jpeg|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg";
inline constexpr const char* kOpenDataFileFilter = "Velmora 文件(*.vlm)|*.vlm";

}  // namespace velmora
