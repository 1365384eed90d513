#pragma once
// Small helpers shared by the benchmark programs: timing, medians, resident memory
// and the `name: value unit` output lines.

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::bench {

// Milliseconds taken by one call of fn.
double timeMs(const std::function<void()>& fn);
// Median of `runs` timings of fn, in milliseconds.
double medianMs(int runs, const std::function<void()>& fn);
// The middle value of some timings.
double median(std::vector<double> times);
// Times a figure and its floor once each, taking turns at going first (the figure
// first on even runs, the floor first on odd ones), so a change of clock speed meets
// both alike.
void timeInTurn(int run, const std::function<void()>& figure, std::vector<double>& figureTimes,
                const std::function<void()>& floor, std::vector<double>& floorTimes);
// Medians of `runs` timings of a figure and of its floor, timed in turns.
std::pair<double, double> medianPairMs(int runs, const std::function<void()>& figure,
                                       const std::function<void()>& floor);
// Resident set size of this process, in MiB (from /proc/self/statm).
double residentMb();
// Peak resident set size of this process so far, in MiB (VmHWM).
double peakResidentMb();
// Resets the peak so a later peakResidentMb() covers only what follows (Linux 4.0+).
void resetPeakResident();
// Prints "name: value unit" with a sensible number of digits.
void report(const std::string& name, double value, const std::string& unit);
// The build tree's folder for generated collections kept between runs.
std::string cacheDir();
// A scratch folder under the system temporary folder, removed by the caller.
std::string scratchDir(const std::string& tag);

}  // namespace velmora::bench
