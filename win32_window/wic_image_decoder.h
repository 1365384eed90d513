#pragma once
// The picture formats the store leaves to the system (PNG, GIF, TIFF, and WebP where
// Windows has its codec), read with the Windows Imaging Component: the first frame,
// transparent parts over white, at most the store's largest bitmap.
#include <windows.h>

#include <optional>

#include "store/imagefile/image_decoder.h"

namespace velmora::win32 {

// The bytes decoded by whichever codec recognises them; nothing when none does, or the
// picture is larger than the store takes.
std::optional<Bitmap> decodeWithWic(const Bytes& file);

class WicImageDecoder : public ImageDecoder {
public:
    Bitmap decode(const Bytes& file, const std::string& extension) const override;
};

}  // namespace velmora::win32
