#pragma once
// The picture container: at most one graphic, a bitmap, an icon, a metafile or a
// picture object. Files and clipboard contents pass through it on their way to
// becoming picture objects.

#include <variant>

#include "store/imagefile/graphic_signatures.h"
#include "store/picture/bitmap.h"
#include "store/picture/jpeg_picture.h"

namespace velmora {

class PictureContainer {
public:
    enum class Kind { Empty, Bitmap, Icon, Metafile, Picture };

    Kind kind() const { return static_cast<Kind>(graphic_.index()); }

    void assign(Bitmap bitmap) { graphic_ = std::move(bitmap); }
    void assign(IconImage icon) { graphic_ = std::move(icon); }
    void assign(Metafile metafile) { graphic_ = std::move(metafile); }
    void assign(const JpegPicture& picture) { graphic_ = picture; }
    void clear() { graphic_ = std::monostate{}; }

    // The bitmap view: the graphic itself when it is a bitmap. Any other graphic (a
    // picture object too) is discarded and replaced by a new empty bitmap, which is
    // returned; an empty container likewise comes to hold an empty bitmap.
    Bitmap& bitmap();

    // The picture object held, or nullptr for any other kind.
    JpegPicture* picture() { return std::get_if<JpegPicture>(&graphic_); }

private:
    // Alternatives in the order of Kind.
    std::variant<std::monostate, Bitmap, IconImage, Metafile, JpegPicture> graphic_;
};

}  // namespace velmora
