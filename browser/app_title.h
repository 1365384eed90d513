#pragma once
// The application title: the task-bar text, the main window's design caption and the
// caption of the boxes that report conditions and errors.

namespace velmora {

inline constexpr const char* kApplicationTitle = "Zantrel桌面壁纸管理软件";

}  // namespace velmora
