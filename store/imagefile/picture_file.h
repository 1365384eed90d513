#pragma once
// How a picture file chosen by the user becomes a picture object: by its extension,
// through the file-format table.

#include <optional>
#include <string>

#include "store/imagefile/image_decoder.h"
#include "store/imagefile/picture_container.h"
#include "store/picture/jpeg_picture.h"

namespace velmora {

// The text after the last dot of the path's name part, without the dot; "" when the
// name has no dot.
std::string pictureFileExtension(const std::string& path);

// The kind of graphic the file-format table registers for an extension (compared
// without regard to letter case), or nothing. The rows read through an ImageDecoder
// (png, gif, webp, tif, tiff) count only when one is given.
std::optional<PictureContainer::Kind> graphicKindForExtension(const std::string& extension,
                                                             const ImageDecoder* decoder = nullptr);

// True when the file's extension names a format that can become a picture (JPEG, BMP,
// or one the decoder reads); icons and metafiles never can.
bool isAddablePictureFile(const std::string& path, const ImageDecoder* decoder = nullptr);

// Loads a picture file: .jpg and .jpeg files give a picture object holding the file's
// exact bytes; a .bmp file a picture object holding its bitmap (a 0-byte .bmp: 0 bytes
// of data); with a decoder, .png, .gif, .webp, .tif and .tiff files a picture object
// holding the decoded bitmap; valid .ico, .wmf and .emf files fail as JPEG data.
// Raises "Unknown picture file extension (.<ext as typed>)", "Cannot open file ...",
// the BMP reader's errors, the decoder's errors, "Icon image is not valid", "Metafile
// is not valid", or the JPEG error ("JPEG error #53" for a file that is not a JPEG stream).
JpegPicture loadPictureFile(const std::string& path, const ImageDecoder* decoder = nullptr);

}  // namespace velmora
