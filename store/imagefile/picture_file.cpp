#include "store/imagefile/picture_file.h"

#include <array>

#include "base/error.h"
#include "store/imagefile/bmp_reader.h"
#include "store/imagefile/file_access.h"
#include "store/imagefile/graphic_signatures.h"

namespace velmora {

namespace {

using Kind = PictureContainer::Kind;

struct FileFormat {
    const char* extension;
    Kind kind;
    bool decodedByHost;  // read through the ImageDecoder handed in, and unknown without one
};

// In registration order; searched from the last row.
constexpr std::array<FileFormat, 11> kFileFormats{{
    {"wmf", Kind::Metafile, false},
    {"emf", Kind::Metafile, false},
    {"ico", Kind::Icon, false},
    {"bmp", Kind::Bitmap, false},
    {"jpeg", Kind::Picture, false},
    {"jpg", Kind::Picture, false},
    {"png", Kind::Bitmap, true},
    {"gif", Kind::Bitmap, true},
    {"webp", Kind::Bitmap, true},
    {"tif", Kind::Bitmap, true},
    {"tiff", Kind::Bitmap, true},
}};

bool equalIgnoringCase(const std::string& text, const char* ascii) {
    std::size_t i = 0;
    for (; i < text.size() && ascii[i] != '\0'; ++i) {
        const char c = text[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != ascii[i]) {
            return false;
        }
    }
    return i == text.size() && ascii[i] == '\0';
}

JpegPicture pictureFromFileBytes(const std::string& path) {
    JpegPicture picture;
    picture.loadData(shareBytes(readFileBytes(path)));
    return picture;
}

const FileFormat* formatForExtension(const std::string& extension, const ImageDecoder* decoder) {
    for (auto row = kFileFormats.rbegin(); row != kFileFormats.rend(); ++row) {
        if ((decoder || !row->decodedByHost) && equalIgnoringCase(extension, row->extension)) {
            return &*row;
        }
    }
    return nullptr;
}

// Step one of loading: the file read as the graphic its extension names.
void loadGraphic(PictureContainer& container, const FileFormat& format, const std::string& path,
                 const ImageDecoder* decoder) {
    if (format.decodedByHost) {
        container.assign(decoder->decode(readFileBytes(path), format.extension));
        return;
    }
    switch (format.kind) {
    case Kind::Bitmap: container.assign(readBmpFile(path)); break;
    case Kind::Icon: container.assign(readIcon(readFileBytes(path))); break;
    case Kind::Metafile: container.assign(readMetafile(readFileBytes(path))); break;
    case Kind::Picture: container.assign(pictureFromFileBytes(path)); break;
    case Kind::Empty: break;
    }
}

}  // namespace

std::string pictureFileExtension(const std::string& path) {
    const std::size_t nameStart = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart)) {
        return "";
    }
    return path.substr(dot + 1);
}

std::optional<PictureContainer::Kind> graphicKindForExtension(const std::string& extension,
                                                             const ImageDecoder* decoder) {
    const FileFormat* format = formatForExtension(extension, decoder);
    return format ? std::optional(format->kind) : std::nullopt;
}

bool isAddablePictureFile(const std::string& path, const ImageDecoder* decoder) {
    const std::optional<Kind> kind = graphicKindForExtension(pictureFileExtension(path), decoder);
    return kind == Kind::Bitmap || kind == Kind::Picture;
}

JpegPicture loadPictureFile(const std::string& path, const ImageDecoder* decoder) {
    const std::string extension = pictureFileExtension(path);
    const FileFormat* format = formatForExtension(extension, decoder);
    if (!format) {
        throw Error("Unknown picture file extension (." + extension + ")");
    }
    PictureContainer container;
    loadGraphic(container, *format, path, decoder);
    // Only a bitmap survives the container's bitmap view; everything else, a JPEG file
    // too, is read again straight as JPEG data.
    // One named result, so that it is returned in place: a picture object has no move.
    JpegPicture picture;
    Bitmap& view = container.bitmap();
    if (view.empty()) {
        picture.loadData(shareBytes(readFileBytes(path)));
    } else {
        // The container goes with this call: its bitmap is taken over, not copied.
        picture.assignBitmap(std::move(view));
    }
    return picture;
}

}  // namespace velmora
