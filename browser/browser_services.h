#pragma once
// What the main window needs from outside itself: file dialogs, the clipboard, the
// platform services and the shell's URL handler. Tests hand in scripted fakes.

#include <functional>
#include <string>

namespace velmora {

class FileDialogs;
class Clipboard;
namespace platform {
struct Platform;
}

struct BrowserServices {
    FileDialogs* fileDialogs = nullptr;
    Clipboard* clipboard = nullptr;
    platform::Platform* platform = nullptr;
    std::function<void(const std::string& url)> openUrl;
};

}  // namespace velmora
