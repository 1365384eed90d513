#include "wallpaper/picture_pixels.h"

#include <memory>

#include "base/error.h"
#include "store/picture/jpeg_picture.h"

namespace velmora {

platform::WallpaperPixels picturePixels(const SharedBytes& jpeg) {
    JpegPicture picture;
    try {
        picture.loadData(jpeg);
    } catch (const Error&) {
        return {};
    }
    platform::WallpaperPixels pixels;
    pixels.width = picture.width();
    pixels.height = picture.height();
    // Each call decodes on its own picture object: the caller may be another thread.
    pixels.at = [jpeg](int minWidth, int minHeight) {
        JpegPicture own;
        own.loadData(jpeg);
        Bitmap decoded = own.coveringBitmap(minWidth, minHeight);
        auto bitmap = std::make_shared<const Bitmap>(decoded.format() == Bitmap::Format::Bgr24 ? std::move(decoded)
                                                                                             : decoded.toBgr24());
        return platform::BgrPixels{bitmap->width(), bitmap->height(), bitmap->bytesPerLine(), bitmap->bits(), bitmap};
    };
    return pixels;
}

}  // namespace velmora
