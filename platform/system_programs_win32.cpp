#include "platform/system_programs_win32.h"

#include <windows.h>

#include <shellapi.h>

#include "base/utf16.h"

namespace velmora::platform {
namespace {

using FolderQuery = UINT(WINAPI*)(LPWSTR, UINT);

// The folder's program of that name; "" when the folder cannot be told.
std::wstring programIn(FolderQuery folder, const std::wstring& name) {
    wchar_t path[MAX_PATH + 1] = {};
    UINT length = folder(path, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return L"";
    return std::wstring(path, length) + L"\\" + name;
}

bool isFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool isAbsolute(const std::string& path) {
    return (path.size() > 2 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) || path.rfind("\\\\", 0) == 0;
}

}  // namespace

std::wstring systemFolderProgram(const std::wstring& name) { return programIn(GetSystemDirectoryW, name); }

bool runSystemProgram(const std::string& name, const std::vector<std::string>& arguments,
                      unsigned timeoutMilliseconds) {
    const std::wstring program = systemFolderProgram(toUtf16(name));
    if (program.empty()) return false;
    std::vector<std::string> argv{fromUtf16(program)};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::wstring line = toUtf16(windowsCommandLine(argv));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // The program's own path, never a search: the command line only carries the arguments.
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    DWORD status = 1;
    if (WaitForSingleObject(process.hProcess, timeoutMilliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    return status == 0;
}

bool shellExecuteFile(const std::string& verb, const std::string& file, const std::string& parameters,
                      int showCommand) {
    std::wstring target = toUtf16(file);
    if (file.find_first_of("\\/:") == std::string::npos) {
        // A program of Windows: explorer.exe lives in the Windows folder, most others in System32.
        target = programIn(GetWindowsDirectoryW, toUtf16(file));
        if (!isFile(target)) target = systemFolderProgram(toUtf16(file));
        if (!isFile(target)) return false;
    } else if (file.find("://") == std::string::npos && !isAbsolute(file)) {
        return false;
    }
    HINSTANCE result = ShellExecuteW(nullptr, toUtf16(verb).c_str(), target.c_str(),
                                     parameters.empty() ? nullptr : toUtf16(parameters).c_str(), nullptr, showCommand);
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string windowsCommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& argument : argv) {
        if (!line.empty()) line += ' ';
        if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
            line += argument;
            continue;
        }
        // Backslashes count only before a quote: doubled there, and before the closing one.
        line += '"';
        std::size_t backslashes = 0;
        for (char c : argument) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
            backslashes = 0;
            line += c;
        }
        line.append(backslashes * 2, '\\');
        line += '"';
    }
    return line;
}

}  // namespace velmora::platform
