// velmora.exe: the Windows program without a window (console_command.h). Its
// arguments are taken as UTF-16 from the system and handed on as UTF-8, so
// Chinese picture names and folders work whatever the console's code page.
#include <windows.h>
#include <shellapi.h>

#include <iostream>

#include "base/utf16.h"
#include "platform/windows_platform.h"
#include "console/console_command.h"

int main() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) arguments.push_back(velmora::fromUtf16(wide[i]));
    LocalFree(wide);

    // The program writes UTF-8; a console shows it as such.
    SetConsoleOutputCP(CP_UTF8);
    velmora::platform::WindowsPlatform system;
    return velmora::runConsoleCommand(velmora::parseConsoleCommand(arguments), system.platform(), std::cout,
                                      std::cerr);
}
