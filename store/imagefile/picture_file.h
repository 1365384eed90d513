#pragma once
// How a picture file chosen by the user becomes a picture object: by its extension,
// through the file-format table.

#include <optional>
#include <string>

#include "store/imagefile/picture_container.h"
#include "store/picture/jpeg_picture.h"

namespace velmora {

// The text after the last dot of the path's name part, without the dot; "" when the
// name has no dot.
std::string pictureFileExtension(const std::string& path);

// The kind of graphic the file-format table registers for an extension (compared
// without regard to letter case), or nothing.
std::optional<PictureContainer::Kind> graphicKindForExtension(const std::string& extension);

// Loads a picture file: .jpg and .jpeg files give a picture object holding the file's
// exact bytes; a .bmp file a picture object holding its bitmap (a 0-byte .bmp: 0 bytes
// of data); valid .ico, .wmf and .emf files fail as JPEG data.
// Raises "Unknown picture file extension (.<ext as typed>)", "Cannot open file ...",
// the BMP reader's errors, "Icon image is not valid", "Metafile is not valid", or
// the decoder error ("JPEG error #53" for a file that is not a JPEG stream).
JpegPicture loadPictureFile(const std::string& path);

}  // namespace velmora
