#pragma once
// velmora.exe started as a user starts it in a folder, and ended by force when the
// scenario stops early, so no run leaves it behind.

#include <windows.h>

#include <string>

namespace velmora::driver {

class ProgramProcess {
public:
    // Starts program with folder as its current directory; raises StepFailure.
    ProgramProcess(const std::wstring& program, const std::wstring& folder);
    // Ends the program when it still runs.
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }
    // Waits for the program to end on its own; raises StepFailure after kPatience.
    DWORD waitForExit() const;

private:
    PROCESS_INFORMATION info_{};
};

}  // namespace velmora::driver
