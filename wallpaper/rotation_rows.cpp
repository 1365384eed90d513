#include "wallpaper/rotation_rows.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>

#include "wallpaper/monitor_pictures.h"

namespace velmora {

const std::vector<std::string>& RotationRows::keys() {
    if (keys_.empty() && count() > 0) {
        std::vector<std::int64_t> rowids;
        for (int row = 0; row < pictures_.recordCount(); ++row) rowids.push_back(pictures_.rowidAt(row).value_or(0));
        keys_ = state_.keysOf(rowids);
    }
    return keys_;
}

std::optional<std::size_t> RotationRows::rowOfKey(const std::string& key) {
    for (std::size_t row = 0; row < count(); ++row)
        if (keys()[row] == key) return row;
    return std::nullopt;
}

bool RotationRows::eligible(std::size_t row) {
    if (keys()[row].empty()) return false;
    return !state_.leftOut(keys()[row]) || !state_.leftOut(confirmedKey(row));
}

std::string RotationRows::confirmedKey(std::size_t row) {
    if (keys().empty()) return "";
    confirmed_.resize(keys_.size());
    if (!confirmed_[row]) {
        keys_[row] = state_.confirmedKeyOf(pictures_.rowidAt(static_cast<int>(row)).value_or(0), keys_[row]);
        confirmed_[row] = true;
    }
    return keys_[row];
}

bool RotationRows::repeatsEarlierRow(std::size_t row) {
    // No earlier row claims the same key: nothing to confirm, nothing read.
    if (rowOfKey(keys()[row]) == row) return false;
    const std::string key = confirmedKey(row);
    for (std::size_t earlier = 0; earlier < row; ++earlier)
        if (keys()[earlier] == key && confirmedKey(earlier) == key) return true;
    return false;
}

std::string RotationRows::keyAt(std::size_t row) {
    if (!keys_.empty()) return keys_[row];
    return state_.keysOf({pictures_.rowidAt(static_cast<int>(row)).value_or(0)}).front();
}

bool RotationRows::leftOut(std::size_t row) {
    if (!state_.inUse()) return false;
    const std::string key = keyAt(row);
    return !key.empty() && state_.leftOut(key);
}

bool RotationRows::setLeftOut(std::size_t row, bool leftOut) {
    // Made first, so the key read next is kept for the rotation.
    state_.prepare();
    const std::string key = keyAt(row);
    if (key.empty()) return false;
    state_.setLeftOut(key, leftOut);
    return true;
}

std::vector<std::string> otherMonitorPictures(RotationRows& rows, std::size_t index, RotationOrder order,
                                              std::int64_t round, const platform::Platform& platform,
                                              std::vector<std::size_t>* chosenRows) {
    const std::vector<platform::Monitor> monitors = platform.desktop.monitors();
    if (monitors.size() < 2) return {};
    const std::size_t count = rows.count();
    std::vector<std::size_t> candidates;
    std::map<std::size_t, PictureShape> shapes;
    for (std::size_t step = 1; step < count; ++step) {
        const std::size_t row = (index + step) % count;
        if (rows.state().inUse() && !rows.eligible(row)) continue;
        std::optional<PictureShape> shape =
            pictureShape(rows.database(), rows.pictures().rowidAt(static_cast<int>(row)).value_or(0));
        if (!shape) continue;
        shapes[row] = *shape;
        candidates.push_back(row);
    }
    if (order == RotationOrder::Shuffle) {
        std::random_device entropy;
        std::shuffle(candidates.begin(), candidates.end(), std::mt19937(entropy()));
        if (round != 0) {
            std::stable_partition(candidates.begin(), candidates.end(), [&](std::size_t row) {
                return rows.state().shownRound(rows.keys()[row]) != round;
            });
        }
    }
    // With no other picture, every monitor shows the one chosen.
    if (candidates.empty()) candidates.push_back(index);
    const std::vector<std::size_t> chosen = chooseMonitorRows(monitors, candidates, [&shapes](std::size_t row) {
        auto found = shapes.find(row);
        return found == shapes.end() ? std::nullopt : std::optional<PictureShape>(found->second);
    });
    if (chosenRows) *chosenRows = chosen;
    return writeMonitorPictures(rows.pictures(), chosen, platform.files);
}

platform::WallpaperLayout wallpaperLayoutFor(const WallpaperSettings& settings, RotationRows& rows, std::size_t index,
                                             const platform::Platform& platform, std::int64_t round,
                                             std::vector<std::size_t>* chosenRows) {
    platform::WallpaperLayout layout = settings.layout();
    if (settings.perMonitor)
        layout.monitorFiles = otherMonitorPictures(rows, index, settings.order, round, platform, chosenRows);
    return layout;
}

}  // namespace velmora
