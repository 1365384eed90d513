// velmora_win32_driver VELMORA.exe SCREENSHOT.png WORK_FOLDER: starts velmora.exe on
// collections of its own below WORK_FOLDER, drives its window through one scenario and
// writes the window's picture to SCREENSHOT.png. Exit status 0 only when every step
// passed; the first failure names its step and ends the run.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/win32_driver/scenario.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fputs("usage: velmora_win32_driver VELMORA.exe SCREENSHOT.png WORK_FOLDER\n", stderr);
        return 2;
    }
    // A crash of the driver must not wait for a click on Wine's crash dialog either.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    return velmora::driver::runScenario({argv[1], argv[2], argv[3]}) ? 0 : 1;
}
