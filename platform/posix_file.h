#pragma once
// Small POSIX file helpers that report errno values instead of raising.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/bytes.h"

namespace velmora::platform {

// The folder part of a path: "." for a bare name, "/" for a name at the root.
std::string parentFolder(const std::string& path);

// Reads the whole file. Returns 0 or the errno of the failure.
int readWholeFile(const std::string& path, std::string& content);

// readSmallFile's failures that are no errno value.
inline constexpr int kNotARegularFile = -1;
inline constexpr int kFileTooLarge = -2;

// Reads a regular file of at most maxBytes. The file is opened without waiting (a FIFO
// with no writer would block open and read for good) and looked at before any byte is
// read: anything but a regular file gives kNotARegularFile, a larger one kFileTooLarge,
// also when it grows while being read. Symbolic links are followed. Returns 0, one of
// those, or the errno of the failure.
int readSmallFile(const std::string& path, std::size_t maxBytes, std::string& content);

// Replaces path with exactly these bytes (permission bits mode): they go to a
// temporary file in the same folder, which is flushed to disk and renamed over
// path, so a reader sees the old file or the new one, never a part. Returns 0 or the errno of the failure; on
// failure nothing is left behind.
int writeFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                        unsigned mode);

// The same with the runs' bytes one after another.
int writeFileAtomically(const std::string& path, const std::vector<ByteRun>& runs, unsigned mode);

// As writeFileAtomically, but an existing path is never replaced: the call then fails
// with EEXIST and leaves it untouched.
int createFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                         unsigned mode);

// mkdir -p with mode 0700 for new folders. Returns 0 or the errno of the failure.
int makeDirectories(const std::string& path);

}  // namespace velmora::platform
