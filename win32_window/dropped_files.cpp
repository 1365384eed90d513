#include "win32_window/dropped_files.h"

#include <shellapi.h>

#include "base/utf16.h"

namespace velmora::win32 {

std::vector<std::string> takeDroppedFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(length);
        paths.push_back(fromUtf16(path));
    }
    DragFinish(drop);
    return paths;
}

}  // namespace velmora::win32
