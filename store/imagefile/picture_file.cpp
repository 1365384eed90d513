#include "store/imagefile/picture_file.h"

#include <array>
#include <utility>

#include "base/error.h"
#include "store/imagefile/bmp_reader.h"
#include "store/imagefile/file_access.h"
#include "store/imagefile/graphic_signatures.h"

namespace velmora {

namespace {

using Kind = PictureContainer::Kind;

// In registration order; searched from the last row.
constexpr std::array<std::pair<const char*, Kind>, 6> kFileFormats{{
    {"wmf", Kind::Metafile},
    {"emf", Kind::Metafile},
    {"ico", Kind::Icon},
    {"bmp", Kind::Bitmap},
    {"jpeg", Kind::Picture},
    {"jpg", Kind::Picture},
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

// Step one of loading: the file read as the graphic its extension names.
void loadGraphic(PictureContainer& container, Kind kind, const std::string& path) {
    switch (kind) {
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

std::optional<PictureContainer::Kind> graphicKindForExtension(const std::string& extension) {
    for (auto row = kFileFormats.rbegin(); row != kFileFormats.rend(); ++row) {
        if (equalIgnoringCase(extension, row->first)) {
            return row->second;
        }
    }
    return std::nullopt;
}

JpegPicture loadPictureFile(const std::string& path) {
    const std::string extension = pictureFileExtension(path);
    const std::optional<Kind> kind = graphicKindForExtension(extension);
    if (!kind) {
        throw Error("Unknown picture file extension (." + extension + ")");
    }
    PictureContainer container;
    loadGraphic(container, *kind, path);
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
