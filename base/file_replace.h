#pragma once
// Windows only: whole-file writes and full paths with the Win32 file calls. Files
// are always binary here (the C runtime's open() would default to text mode and
// turn every 0x0A of a picture into 0x0D 0x0A).

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora {

struct FileReplaceResult {
    unsigned error = 0;        // GetLastError of the failed step, 0 on success
    bool writeFailed = false;  // the file was created, but writing or flushing it failed
};

// Replaces path (UTF-8) with exactly these bytes: they go to a new file beside it
// (CreateFileW), are written and flushed (WriteFile, FlushFileBuffers) and the file
// is moved over path (MoveFileExW), so path holds the old file or the new one,
// never a part. On failure nothing is left behind.
FileReplaceResult replaceFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// GetFullPathNameW: the path made absolute against the current directory, "." and
// ".." resolved, as the system expands it for its messages.
std::string fullPathName(const std::string& path);

}  // namespace velmora
