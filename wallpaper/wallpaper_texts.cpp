#include "wallpaper/wallpaper_texts.h"

#include <atomic>

namespace velmora {

namespace {

constexpr WallpaperTexts kChineseWallpaperTexts{
    .noPictureForDesktop = "当前没有可作为桌面的图片!",
    .noPictureSource = "没有图片源!",
};

constexpr WallpaperTexts kEnglishWallpaperTexts{
    .noPictureForDesktop = "There is no picture to set as the wallpaper!",
    .noPictureSource = "There is no picture to show!",
};

std::atomic<const WallpaperTexts*> inUse{&kChineseWallpaperTexts};

}  // namespace

const WallpaperTexts& wallpaperTexts() { return *inUse.load(std::memory_order_relaxed); }

void useWallpaperTexts(Language language) {
    inUse.store(language == Language::English ? &kEnglishWallpaperTexts : &kChineseWallpaperTexts,
                std::memory_order_relaxed);
}

}  // namespace velmora
