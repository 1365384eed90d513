#include "wallpaper/wallpaper_texts.h"

namespace velmora {

namespace {

constexpr WallpaperTexts kChineseWallpaperTexts{
    .noPictureForDesktop = "当前没有可作为桌面的图片!",
    .noPictureSource = "没有图片源!",
};

}  // namespace

const WallpaperTexts& wallpaperTexts() { return kChineseWallpaperTexts; }

}  // namespace velmora
