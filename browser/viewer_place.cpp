#include "browser/viewer_place.h"

namespace velmora {

DialogRect viewerPlace(int pictureWidth, int pictureHeight) { return {18, 17, pictureWidth, pictureHeight}; }

}  // namespace velmora
