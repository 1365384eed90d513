#pragma once
// The small JPEG picture a camera embeds in a photo's Exif data (IFD1), found without
// decoding anything. Every offset and length is checked against the Exif segment; a
// thumbnail that runs past it, or does not start as a JPEG stream, is not one.

#include <optional>

#include "base/bytes.h"

namespace velmora {

// The embedded thumbnail's bytes, pointing into jpeg; nullopt when there is none.
std::optional<ByteRun> exifThumbnail(const Bytes& jpeg);

}  // namespace velmora
