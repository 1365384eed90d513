#include "store/imagefile/image_decoder.h"

namespace velmora {

std::string invalidImageText(const std::string& extension) {
    const std::string format = extension == "png"                        ? "PNG"
                               : extension == "gif"                      ? "GIF"
                               : extension == "webp"                     ? "WebP"
                               : extension == "tif" || extension == "tiff" ? "TIFF"
                                                                         : extension;
    return format + " image is not valid";
}

}  // namespace velmora
