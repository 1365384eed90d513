#pragma once
// Steps through the real main window shared by the window benchmarks.

#include <vector>

namespace velmora {
class MainWindow;
}

namespace velmora::bench {

// One press of the next button, until the new picture has been painted.
void nextPicture(MainWindow& form);
// Runs the window's events for ms milliseconds.
void idle(int ms);
// The value 90 % of the times are at or below.
double percentile90(std::vector<double> times);

}  // namespace velmora::bench
