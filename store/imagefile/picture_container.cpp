#include "store/imagefile/picture_container.h"

namespace velmora {

Bitmap& PictureContainer::bitmap() {
    if (Bitmap* held = std::get_if<Bitmap>(&graphic_)) {
        return *held;
    }
    return graphic_.emplace<Bitmap>();
}

}  // namespace velmora
