#pragma once
// PNG, GIF, WebP and TIFF files read through Qt's image readers (WebP and TIFF come
// from the image-format plugins), for the store's picture-file loading.

#include "store/imagefile/image_decoder.h"

namespace velmora {

class QtImageDecoder : public ImageDecoder {
public:
    // The first frame, turned upright where the format records an orientation and laid
    // over white where it is transparent (the JPEG it becomes has no transparency).
    // Raises "<FORMAT> image is not valid" ("PNG image is not valid", ...) when the
    // bytes do not decode, also for a truncated file.
    Bitmap decode(const Bytes& file, const std::string& extension) const override;
};

}  // namespace velmora
