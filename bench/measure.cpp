#include "bench/measure.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <filesystem>
#include <vector>

namespace velmora::bench {

std::string cacheDir() { return VELMORA_BENCH_CACHE; }

double timeMs(const std::function<void()>& fn) {
    auto start = std::chrono::steady_clock::now();
    fn();
    auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double medianMs(int runs, const std::function<void()>& fn) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(timeMs(fn));
    return median(std::move(times));
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void timeInTurn(int run, const std::function<void()>& figure, std::vector<double>& figureTimes,
                const std::function<void()>& floor, std::vector<double>& floorTimes) {
    if (run % 2 == 0) {
        figureTimes.push_back(timeMs(figure));
        floorTimes.push_back(timeMs(floor));
    } else {
        floorTimes.push_back(timeMs(floor));
        figureTimes.push_back(timeMs(figure));
    }
}

std::pair<double, double> medianPairMs(int runs, const std::function<void()>& figure,
                                       const std::function<void()>& floor) {
    std::vector<double> figureTimes, floorTimes;
    for (int run = 0; run < runs; ++run) timeInTurn(run, figure, figureTimes, floor, floorTimes);
    return {median(figureTimes), median(floorTimes)};
}

double residentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

static double statusFieldMb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + key.size()) / 1024.0;
    }
    return 0;
}

double peakResidentMb() { return statusFieldMb("VmHWM:"); }

void resetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

void report(const std::string& name, double value, const std::string& unit) {
    std::printf("%s: %.3f %s\n", name.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

std::string scratchDir(const std::string& tag) {
    auto dir = std::filesystem::temp_directory_path() / ("velmora-bench-" + tag + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir.string();
}

}  // namespace velmora::bench
