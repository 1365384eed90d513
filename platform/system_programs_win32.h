#pragma once
// Every program Velmora starts on Windows, started from the system's own folders
// only. A bare name would be looked up in the current folder first, and the window
// makes the opened collection's folder the current one: a schtasks.exe lying beside
// a collection someone sent would run. No other file calls CreateProcess or
// ShellExecute (a test of the sources checks it).

#include <string>
#include <vector>

namespace velmora::platform {

// The program of that name in System32 (GetSystemDirectoryW), e.g. schtasks.exe.
std::wstring systemFolderProgram(const std::wstring& name);

// Runs System32's program `name` with these arguments, without a console window.
// True when it ended within the time limit with status 0; one still running then is
// left alone and counts as failed.
bool runSystemProgram(const std::string& name, const std::vector<std::string>& arguments,
                      unsigned timeoutMilliseconds = 30000);

// ShellExecuteW(verb, file, parameters) with that show command. `file` is a URL, an
// absolute path, or the bare name of a program of Windows ("explorer.exe"), which is
// taken from the Windows folder or System32; anything else is refused (false).
// True when the shell took it.
bool shellExecuteFile(const std::string& verb, const std::string& file, const std::string& parameters,
                      int showCommand);

// The command line of one program run, each argument quoted as CommandLineToArgvW reads it.
std::string windowsCommandLine(const std::vector<std::string>& argv);

}  // namespace velmora::platform
