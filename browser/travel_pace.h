#pragma once
// How fast the user moves through the records, and which records to decode ahead so
// that each picture is done by the time the user gets there. The caller gives the
// times, so the rules hold without a clock.

#include <chrono>
#include <deque>
#include <optional>
#include <vector>

namespace velmora {

class TravelPace {
public:
    using Clock = std::chrono::steady_clock;

    // Notes the current record at now; false when it is no move (the same record).
    bool follow(int row, Clock::time_point now);
    // 1 forwards, -1 backwards.
    int direction() const { return direction_; }
    // True while the moves come faster than pictures decode (msPerDecode each): the
    // keys outrun the decoding. False once they have stopped for a moment.
    bool outruns(double msPerDecode, Clock::time_point now) const;
    // How long after the last move the keys count as stopped.
    std::chrono::milliseconds stopDelay(Clock::time_point now) const;
    // The records (0 to lastRow) to decode ahead of row, nearest first: the next two
    // and the one behind (three on the one side at an end); while the keys outrun the decoding, where the user will be
    // when each decode is done, and the end they run into.
    std::vector<int> aheadOf(int row, int lastRow, double msPerDecode, Clock::time_point now) const;

private:
    // Milliseconds per record over the recent moves; nullopt unless the keys move now.
    std::optional<double> msPerMove(Clock::time_point now) const;

    struct Move {
        int row;
        Clock::time_point at;
    };
    std::deque<Move> moves_;  // the recent moves in one direction, oldest first
    int direction_ = 1;
};

}  // namespace velmora
