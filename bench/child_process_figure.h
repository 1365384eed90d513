#pragma once
// Figures that need a fresh process: the benchmark program runs itself again with a
// mode argument and reads the `name: value` lines the child prints.

#include <map>
#include <string>
#include <vector>

namespace velmora::bench {

// Runs `program` with `arguments` and returns the numbers of the "name: value unit"
// lines it printed, by name; ms since the start: "spawn_ms", time from spawning to the
// child's exit. Aborts when the child fails.
std::map<std::string, double> runChildFigures(const std::string& program, const std::vector<std::string>& arguments);

// Milliseconds since this process was started by the system (from /proc/self/stat).
double msSinceProcessStart();

}  // namespace velmora::bench
