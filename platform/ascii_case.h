#pragma once
// Case-insensitive matching the way Windows matches registry and file names here:
// ASCII letters fold, every other byte compares as it is.

#include <string>

namespace velmora::platform {

inline std::string foldAsciiCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace velmora::platform
