#pragma once
// Picture file formats the store does not read itself (PNG, GIF, WebP, TIFF): the user
// interface layer hands in a decoder for them, so the store stays free of toolkits.

#include <string>

#include "base/bytes.h"
#include "store/picture/bitmap.h"

namespace velmora {

class ImageDecoder {
public:
    virtual ~ImageDecoder() = default;
    // Decodes a whole file's bytes (the first frame of an animation) into a 24-bit
    // bitmap. `extension` is the file-format table's row in lower case ("png", "gif",
    // "webp", "tif", "tiff"). Raises velmora::Error with a clear message, naming the
    // format, when the bytes do not decode; never returns an empty bitmap.
    virtual Bitmap decode(const Bytes& file, const std::string& extension) const = 0;
};

// "PNG image is not valid", "WebP image is not valid", ...: a decoder's message for
// bytes of a file-format table row's extension that do not decode.
std::string invalidImageText(const std::string& extension);

}  // namespace velmora
