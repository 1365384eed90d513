#include "browser/travel_pace.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velmora {

namespace {

using Milliseconds = std::chrono::duration<double, std::milli>;

// A pause this long starts a new walk: the pace of the last one says nothing.
constexpr Milliseconds kNewWalk{300};
constexpr std::size_t kMovesKept = 8;

}  // namespace

bool TravelPace::follow(int row, Clock::time_point now) {
    if (row < 0 || (!moves_.empty() && moves_.back().row == row)) return false;
    if (!moves_.empty()) {
        const int direction = row > moves_.back().row ? 1 : -1;
        if (direction != direction_ || now - moves_.back().at > kNewWalk) moves_.clear();
        direction_ = direction;
    }
    moves_.push_back({row, now});
    if (moves_.size() > kMovesKept) moves_.pop_front();
    return true;
}

std::optional<double> TravelPace::msPerMove(Clock::time_point now) const {
    if (moves_.size() < 3) return std::nullopt;  // one quick move is no pace yet
    const double ms = Milliseconds(moves_.back().at - moves_.front().at).count();
    const double pace = ms / std::abs(moves_.back().row - moves_.front().row);
    // Stopped: no move for several of the last intervals.
    if (Milliseconds(now - moves_.back().at).count() > std::max(4 * pace, 100.0)) return std::nullopt;
    return pace;
}

std::chrono::milliseconds TravelPace::stopDelay(Clock::time_point now) const {
    const double pace = msPerMove(now).value_or(0);
    return std::chrono::milliseconds(static_cast<int>(std::max(4 * pace, 100.0)) + 1);
}

bool TravelPace::outruns(double msPerDecode, Clock::time_point now) const {
    const std::optional<double> pace = msPerMove(now);
    return pace && *pace < msPerDecode;
}

std::vector<int> TravelPace::aheadOf(int row, int lastRow, double msPerDecode, Clock::time_point now) const {
    const int d = direction_;
    std::vector<int> rows;
    auto add = [&](int r) {
        if (r >= 0 && r <= lastRow && r != row && std::find(rows.begin(), rows.end(), r) == rows.end()) rows.push_back(r);
    };
    if (!outruns(msPerDecode, now)) {
        // At an end (after a jump there, say) the only way is back.
        for (int offset : {d, 2 * d, -d, -2 * d}) {
            if (rows.size() < 3) add(row + offset);
        }
        return rows;
    }
    // A decode started now is done when the user is msPerDecode further on: aim half as
    // far again, since a picture done early waits for the user and one done late is
    // passed.
    const int reach = std::max(2, static_cast<int>(std::ceil(1.5 * msPerDecode / *msPerMove(now))));
    // The keys stop at the end at the latest: it comes first once two decodes reach it.
    const int end = d > 0 ? lastRow : 0;
    if (std::abs(end - row) <= 2 * reach) add(end);
    add(row + d * reach);
    add(row + 2 * d * reach);
    if (rows.empty()) add(row - d);  // at the end: the one behind
    return rows;
}

}  // namespace velmora
