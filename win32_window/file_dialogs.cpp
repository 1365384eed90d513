#include "win32_window/file_dialogs.h"

#include <commdlg.h>

#include <algorithm>

#include "base/utf16.h"
#include "browser/chosen_files.h"
#include "win32_window/picture_preview.h"

namespace velmora::win32 {

namespace {

// Room for a few thousand names at once; a larger choice grows it and asks again.
constexpr std::size_t kManyFilesBuffer = 1 << 16;
constexpr std::size_t kOneFileBuffer = 1 << 15;  // the longest path Windows takes

}  // namespace

std::wstring dialogFilter(const std::string& filter) {
    std::vector<std::wstring> parts;
    std::wstring all = toUtf16(filter);
    std::size_t start = 0;
    while (start <= all.size()) {
        const std::size_t bar = std::min(all.find(L'|', start), all.size());
        parts.push_back(all.substr(start, bar - start));
        start = bar + 1;
    }
    std::wstring result;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        result += parts[i];
        result += L'\0';
        result += parts[i + 1];
        result += L'\0';
    }
    result += L'\0';
    return result;
}

std::vector<std::wstring> selectedPaths(const std::vector<wchar_t>& buffer) {
    std::vector<std::wstring> strings;
    std::size_t at = 0;
    while (at < buffer.size() && buffer[at] != L'\0') {
        const auto end = std::find(buffer.begin() + static_cast<std::ptrdiff_t>(at), buffer.end(), L'\0');
        strings.emplace_back(buffer.begin() + static_cast<std::ptrdiff_t>(at), end);
        at = static_cast<std::size_t>(end - buffer.begin()) + 1;
    }
    if (strings.size() <= 1) return strings;
    std::wstring folder = strings.front();
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    std::vector<std::wstring> paths;
    for (std::size_t i = 1; i < strings.size(); ++i) paths.push_back(folder + strings[i]);
    return paths;
}

std::vector<std::string> chooseFiles(HWND owner, FileDialogKind kind, FileDialogSettings& settings) {
    const bool many = kind == FileDialogKind::OpenMany;
    const std::wstring filter = dialogFilter(settings.filter);
    std::string ext = settings.defaultExt;
    if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
    const std::wstring defaultExt = toUtf16(ext);
    const std::wstring initialDir = toUtf16(settings.initialDir);
    const std::wstring title = toUtf16(settings.title);
    const std::wstring fileName = toUtf16(settings.fileName);
    std::vector<wchar_t> buffer(std::max(many ? kManyFilesBuffer : kOneFileBuffer, fileName.size() + 1));

    for (;;) {
        std::fill(buffer.begin(), buffer.end(), L'\0');
        std::copy(fileName.begin(), fileName.end(), buffer.begin());
        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
        dialog.nFilterIndex = static_cast<DWORD>(std::max(settings.filterIndex, 1));
        dialog.lpstrFile = buffer.data();
        dialog.nMaxFile = static_cast<DWORD>(buffer.size());
        dialog.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
        dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
        dialog.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
        // Without OFN_NOCHANGEDIR: choosing a file moves the current directory to its folder.
        dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
        if (many) dialog.Flags |= OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
        if (kind == FileDialogKind::Save && settings.overwritePrompt) dialog.Flags |= OFN_OVERWRITEPROMPT;
        PicturePreview preview;
        if (settings.picturePreview) preview.attach(dialog);
        const BOOL chosen = kind == FileDialogKind::Save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
        if (!chosen) {
            if (CommDlgExtendedError() != FNERR_BUFFERTOOSMALL) return {};
            // The first character holds the length needed (when it fits in 16 bits).
            const std::size_t needed = static_cast<std::size_t>(buffer[0]);
            buffer.assign(std::max(needed + 1, buffer.size() * 2), L'\0');
            continue;
        }
        const std::vector<std::wstring> paths = many ? selectedPaths(buffer) : std::vector<std::wstring>{buffer.data()};
        if (paths.empty() || paths.front().empty()) return {};
        settings.filterIndex = static_cast<int>(dialog.nFilterIndex);
        std::vector<std::string> result;
        for (const std::wstring& path : paths) result.push_back(fromUtf16(path));
        // The dialog moves the current directory itself; this makes sure on every system.
        enterFolderOfChosen(result);
        return result;
    }
}

}  // namespace velmora::win32
