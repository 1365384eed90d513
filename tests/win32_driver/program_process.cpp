#include "tests/win32_driver/program_process.h"

#include <vector>

#include "tests/win32_driver/step.h"

namespace velmora::driver {

ProgramProcess::ProgramProcess(const std::wstring& program, const std::wstring& folder) {
    // The scenario reads the program's own Chinese texts, whatever Wine's display language.
    std::wstring line = L"\"" + program + L"\" --language zh";
    std::vector<wchar_t> commandLine(line.begin(), line.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const bool started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        folder.c_str(), &startup, &info_) != FALSE;
    const DWORD error = GetLastError();
    require(started, "cannot start " + narrow(program) + " (error " + std::to_string(error) + ")");
    WaitForInputIdle(info_.hProcess, static_cast<DWORD>(kPatience.count()));
}

ProgramProcess::~ProgramProcess() {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

DWORD ProgramProcess::waitForExit() const {
    require(WaitForSingleObject(info_.hProcess, static_cast<DWORD>(kPatience.count())) == WAIT_OBJECT_0,
            "the program did not end");
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

}  // namespace velmora::driver
