#pragma once
// Runs helper programs of the desktop (gsettings and the like) without ever
// waiting long for them.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// Runs argv[0] (found by programPath) with no input and its output discarded. Returns
// true when it ended within timeout with exit status 0; a program still running
// at the timeout is killed.
bool runProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

// Starts argv (argv[0] found by programPath) with no input, its output discarded and its
// standard error this process's (an opener says there why no browser started), and
// returns at once: true when it started. It runs on after this process, which reaps it
// when it ends (the desktop's opener of a web address, which may stay as long as the browser).
bool startProgram(const std::vector<std::string>& argv);

// The same as runProgram, keeping the program's standard output: returned when the program ended
// well within timeout. A program that ends while a child of its own still holds the
// output is not waited for.
std::optional<std::string> captureProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

// A program's output as lines, each without its trailing blanks; empty lines dropped.
std::vector<std::string> outputLines(const std::string& output);

// Where the program `name` is: the first executable file of that name in the
// absolute folders of PATH (empty and relative entries, which mean the current
// folder, are skipped); a name with a "/" must be an absolute path and stands for
// itself. "" when there is none. Every program this process starts is started by
// the path found here.
std::string programPath(const std::string& name);
// True when programPath finds one.
bool programOnPath(const std::string& name);

}  // namespace velmora::platform
