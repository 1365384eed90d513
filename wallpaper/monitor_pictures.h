#pragma once
// The pictures of the second and later monitors, for a desktop that shows a picture
// on each: chosen from the collection to suit each monitor, written as BMP files.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/wallpaper_layout.h"
#include "store/database/picture_query.h"

namespace velmora {

class SqlDatabase;

inline const std::string kMonitorPicturesFolder = "C:\\WINDOWS\\Web\\Wallpaper\\Velmora monitors";

// A picture's size as its JPEG header gives it; none for a row without one.
struct PictureShape {
    int width = 0;
    int height = 0;
};

// Whether a picture suits a monitor: the same orientation, and at least half its
// width and height.
bool suits(const PictureShape& picture, const platform::PixelRect& monitor);

// For each monitor from the second on, a row of `candidates` (in their order of
// preference): the first one not given yet that suits it, else the first not given
// yet, else (too few pictures) the first one. `shape` reads a row's header.
std::vector<std::size_t> chooseMonitorRows(const std::vector<platform::Monitor>& monitors,
                                           const std::vector<std::size_t>& candidates,
                                           const std::function<std::optional<PictureShape>(std::size_t)>& shape);

// Writes the pictures of those rows as kMonitorPicturesFolder\2.bmp, 3.bmp, ... and
// returns their paths. Raises the decoder's error and the file-creation error.
std::vector<std::string> writeMonitorPictures(PictureQuery& pictures, const std::vector<std::size_t>& rows,
                                              platform::Files& files);

// The header of the picture of a row, read from the front of its bytes only; none
// for a row without a readable JPEG header.
std::optional<PictureShape> pictureShape(SqlDatabase& db, std::int64_t rowid);

}  // namespace velmora
