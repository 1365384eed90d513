#pragma once
// Win32 error codes and their English system texts, derived from errno. The
// commands report file failures with these texts ("Cannot create file ...").
// On Windows the codes come from GetLastError and the texts from FormatMessage.

#include <string>

namespace velmora {

// Win32 codes the product names.
enum Win32Error : unsigned {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorTooManyOpenFiles = 4,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorNotEnoughMemory = 8,
    kErrorWriteProtect = 19,
    kErrorSharingViolation = 32,
    kErrorHandleDiskFull = 39,
    kErrorFileExists = 80,
    kErrorInvalidParameter = 87,
    kErrorDiskFull = 112,
    kErrorInvalidName = 123,
    kErrorDirNotEmpty = 145,
    kErrorBadPathname = 161,
    kErrorAlreadyExists = 183,
    kErrorFilenameExcedRange = 206,
    kErrorMoreData = 234,
    kErrorDirectory = 267,
    kErrorBadDb = 1009,
    kErrorKeyDeleted = 1018,
    kErrorIoDevice = 1117,
};

// Maps an errno value to the Win32 code Windows would report for the same failure.
unsigned win32ErrorFromErrno(int err);
// The same for a failure to create a file: a missing folder on the way (ENOENT) is
// "path not found" (3), as CreateFile reports it.
unsigned win32CreateErrorFromErrno(int err);

// FormatMessage's English text for a Win32 code, with trailing blanks, line breaks
// and full stops removed, as the file-error messages use it.
std::string win32ErrorText(unsigned code);

// "Cannot create file "<path>". <text>" / "Cannot open file "<path>". <text>".
std::string cannotCreateFileMessage(const std::string& path, unsigned code);
std::string cannotOpenFileMessage(const std::string& path, unsigned code);

}  // namespace velmora
