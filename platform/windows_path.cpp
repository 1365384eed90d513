#include "platform/windows_path.h"

#include "base/system_error.h"

namespace velmora::platform {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

bool isReservedNameCharacter(unsigned char c) {
    switch (c) {
    case '<': case '>': case ':': case '"': case '|': case '?': case '*': return true;
    default: return c < 0x20;
    }
}

std::string WindowsPath::text() const {
    std::string out;
    if (drive != 0) {
        out += static_cast<char>(drive - 'a' + 'A');
        out += ':';
    }
    if (absolute) out += '\\';
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += '\\';
        out += parts[i];
    }
    return out;
}

unsigned parseWindowsPath(const std::string& path, WindowsPath& parsed) {
    parsed = WindowsPath{};
    if (path.empty()) return kErrorInvalidName;
    std::size_t pos = 0;
    if (path.size() >= 2 && isLetter(path[0]) && path[1] == ':') {
        parsed.drive = static_cast<char>(path[0] | 0x20);
        parsed.absolute = true;  // "C:name" is taken from the drive's root
        pos = 2;
    } else if (isSeparator(path[0])) {
        parsed.absolute = true;
    }
    while (pos < path.size()) {
        while (pos < path.size() && isSeparator(path[pos])) ++pos;
        std::size_t end = pos;
        while (end < path.size() && !isSeparator(path[end])) ++end;
        if (end == pos) break;
        std::string part = path.substr(pos, end - pos);
        pos = end;
        for (unsigned char c : part) {
            if (isReservedNameCharacter(c)) return kErrorInvalidName;
        }
        if (part == ".") continue;
        if (part == "..") {
            if (!parsed.parts.empty() && parsed.parts.back() != "..") {
                parsed.parts.pop_back();
            } else if (!parsed.absolute) {
                parsed.parts.push_back(part);  // a relative path may start above its folder
            }
            continue;
        }
        parsed.parts.push_back(std::move(part));
    }
    return kErrorSuccess;
}

}  // namespace velmora::platform
