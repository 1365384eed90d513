#pragma once
// The most memory the test process has held so far, in KiB: the peak resident set
// (getrusage) on POSIX, the peak working set (GetProcessMemoryInfo) on Windows.

#include <cstdint>

namespace velmora::test {

std::int64_t peakMemoryKiB();

}  // namespace velmora::test
