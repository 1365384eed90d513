#pragma once
// The one scenario the driver walks through velmora.exe's window.

#include <string>

namespace velmora::driver {

struct ScenarioPaths {
    std::wstring program;     // velmora.exe
    std::wstring screenshot;  // the window's picture, written as PNG
    std::wstring workFolder;  // the collections and pictures are made below it
};

// Prints each step as it passes and the first failure with its step; true when all passed.
bool runScenario(const ScenarioPaths& paths);

}  // namespace velmora::driver
