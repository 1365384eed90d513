#pragma once
// Runs helper programs of the desktop (gsettings and the like) without ever
// waiting long for them.

#include <chrono>
#include <string>
#include <vector>

namespace velmora::platform {

// Runs argv[0] (looked up in PATH) with no input and its output discarded. Returns
// true when it ended within timeout with exit status 0; a program still running
// at the timeout is killed.
bool runProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

// True when PATH holds an executable file of that name.
bool programOnPath(const std::string& name);

}  // namespace velmora::platform
