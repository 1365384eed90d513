#pragma once
// Icons and metafiles: graphics a picture file may name by its extension but that never
// become pictures. They are only recognised by their signatures and kept as read.

#include "base/bytes.h"

namespace velmora {

struct IconImage {
    SharedBytes data;
};

struct Metafile {
    SharedBytes data;
};

// Takes the bytes of an .ico file: an icon directory (reserved 0, type 1, at least one
// entry) whose entries point inside the file at a DIB header or a PNG stream.
// Raises "Icon image is not valid" otherwise.
IconImage readIcon(Bytes bytes);

// Takes the bytes of a .wmf or .emf file: a placeable metafile (key and checksum), a
// plain Windows metafile header, or an enhanced metafile header.
// Raises "Metafile is not valid" otherwise.
Metafile readMetafile(Bytes bytes);

}  // namespace velmora
