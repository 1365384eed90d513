#pragma once
// The rows of a picture query as the rotation sees them: each row's picture key,
// whether the rotation may show it, and the pictures the other monitors get when a
// row becomes the wallpaper. The command line and the window share it, so a picture
// per monitor is chosen the same way from both.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/wallpaper_layout.h"
#include "store/database/picture_query.h"
#include "wallpaper/rotation_state.h"
#include "wallpaper/wallpaper_settings.h"

namespace velmora {

class RotationRows {
public:
    // pictures: an open query over the `pictures` table of db.
    RotationRows(PictureQuery& pictures, SqlDatabase& db) : pictures_(pictures), db_(db), state_(db) {}

    std::size_t count() const { return static_cast<std::size_t>(pictures_.recordCount()); }
    PictureQuery& pictures() { return pictures_; }
    SqlDatabase& database() const { return db_; }
    RotationState& state() { return state_; }

    // Each row's key ("" without a picture), read once. Raises Error when the file cannot be read.
    const std::vector<std::string>& keys();
    // A row the rotation may show: it has a picture and is not left out. A cached key
    // that says it is left out is confirmed by the picture's own bytes first.
    bool eligible(std::size_t row);
    // The first row holding the picture of key.
    std::optional<std::size_t> rowOfKey(const std::string& key);
    // The key of `row` from its picture's own bytes (the key read before is put right),
    // before it decides that the picture was shown or is another row's.
    std::string confirmedKey(std::size_t row);
    // Whether an earlier row holds the same picture, by both pictures' own bytes.
    bool repeatsEarlierRow(std::size_t row);

    // Whether the picture of `row` is left out of rotation; makes no tables.
    bool leftOut(std::size_t row);
    // Leaves the picture of `row` out of rotation, or takes it back in: the mark
    // follows its content, not its row. False, and nothing marked, for a row without
    // a picture.
    bool setLeftOut(std::size_t row, bool leftOut);

private:
    // The key of one row, without reading the others' pictures.
    std::string keyAt(std::size_t row);

    PictureQuery& pictures_;
    SqlDatabase& db_;
    RotationState state_;
    std::vector<std::string> keys_;
    std::vector<bool> confirmed_;  // keys_ taken from the bytes in this run
};

// The pictures of the monitors after the first, where the desktop shows one on each:
// rows that follow `index` in the rotation (left-out ones passed over once the
// collection has rotation state) and suit each monitor best, written as BMP files.
// Shuffled, those not yet shown in `round` come first (0: no round). The rows chosen
// go to *chosenRows when given. None with fewer than two monitors. Raises the
// decoder's and the file-creation error.
std::vector<std::string> otherMonitorPictures(RotationRows& rows, std::size_t index, RotationOrder order,
                                              std::int64_t round, const platform::Platform& platform,
                                              std::vector<std::size_t>* chosenRows = nullptr);

// The layout `settings` ask for when row `index` (which holds a picture) becomes the
// wallpaper: their fit mode and lock screen, and with a picture per monitor, the
// other monitors' pictures (round and chosenRows as for otherMonitorPictures).
platform::WallpaperLayout wallpaperLayoutFor(const WallpaperSettings& settings, RotationRows& rows, std::size_t index,
                                             const platform::Platform& platform, std::int64_t round = 0,
                                             std::vector<std::size_t>* chosenRows = nullptr);

}  // namespace velmora
