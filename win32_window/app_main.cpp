// velmora.exe: the window by default (or on the one FILE.vlm given, as a double-click
// on a collection starts it), the command-line options otherwise. It is a GUI-subsystem
// program, so that no console opens for the window; the options print to the standard
// handles it was given, or to the console of the program that started it.
#include <windows.h>
#include <shellapi.h>

#include <sstream>

#include "base/utf16.h"
#include "browser/texts.h"
#include "cli/command_line_win32.h"
#include "cli/user_collection_win32.h"
#include "cli/wallpaper_cli_win32.h"
#include "platform/language_setting.h"
#include "platform/windows_platform.h"
#include "win32_window/main_window.h"

namespace {

// A handle that goes somewhere: a pipe or file it was given, else the parent's console.
HANDLE outputHandle(DWORD which, bool& attached) {
    HANDLE handle = GetStdHandle(which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN) return handle;
    if (!attached) attached = AttachConsole(ATTACH_PARENT_PROCESS) != FALSE;
    if (!attached) return nullptr;
    handle = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

// UTF-8 text to a console as UTF-16 (whatever its code page), to anything else as is.
void writeText(HANDLE handle, const std::string& text) {
    if (handle == nullptr || text.empty()) return;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = velmora::toUtf16(text);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    // Libraries loaded at run time come from the program's folder and System32 only,
    // never from the current folder (a collection's folder) or PATH.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) arguments.push_back(velmora::fromUtf16(wide[i]));
    LocalFree(wide);

    velmora::WindowsCommandLine command = velmora::parseWindowsCommandLine(arguments);
    velmora::platform::WindowsPlatform system;
    {
        velmora::RegistrySettings languageSetting = velmora::languageSettingOf(system.platform());
        command.language =
            velmora::platform::startLanguage(command.language, languageSetting, velmora::platform::systemLanguage());
        velmora::useLanguage(*command.language);
    }
    if (command.action == velmora::WindowsAction::Window) {
        if (command.userCollection) {
            try {
                velmora::win32::enterUserCollection(velmora::win32::userCollectionFolder());
            } catch (const std::exception&) {
                // The window still opens; opening the collection then says what is missing.
            }
        }
        velmora::platform::Platform platform = system.platform();
        return velmora::win32::runMainWindow(instance, show, platform, command.startFile);
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status = velmora::runWindowsCommandLine(command, system.platform(), out, err);
    bool attached = false;
    writeText(outputHandle(STD_OUTPUT_HANDLE, attached), out.str());
    writeText(outputHandle(STD_ERROR_HANDLE, attached), err.str());
    return status;
}
