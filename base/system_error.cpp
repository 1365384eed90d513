#include "base/system_error.h"

#include <cerrno>

namespace velmora {

unsigned win32ErrorFromErrno(int err) {
    switch (err) {
    case 0: return kErrorSuccess;
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case ETXTBSY: return kErrorAccessDenied;
    case ENOMEM: return kErrorNotEnoughMemory;
    case EROFS: return kErrorWriteProtect;
    case EBUSY: return kErrorSharingViolation;
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT  // not in every C runtime (msvcrt has none)
    case EDQUOT:
#endif
        return kErrorDiskFull;
    case EEXIST: return kErrorFileExists;
    case EINVAL: return kErrorInvalidParameter;
    case ENAMETOOLONG: return kErrorFilenameExcedRange;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    default: return kErrorIoDevice;
    }
}

unsigned win32CreateErrorFromErrno(int err) {
    return err == ENOENT ? kErrorPathNotFound : win32ErrorFromErrno(err);
}

#ifndef _WIN32
// Windows asks the system itself (system_error_win32.cpp).
std::string win32ErrorText(unsigned code) {
    // The message table texts without their closing full stop.
    switch (code) {
    case kErrorSuccess: return "The operation completed successfully";
    case kErrorFileNotFound: return "The system cannot find the file specified";
    case kErrorPathNotFound: return "The system cannot find the path specified";
    case kErrorTooManyOpenFiles: return "The system cannot open the file";
    case kErrorAccessDenied: return "Access is denied";
    case kErrorInvalidHandle: return "The handle is invalid";
    case kErrorNotEnoughMemory: return "Not enough memory resources are available to process this command";
    case kErrorWriteProtect: return "The media is write protected";
    case kErrorSharingViolation:
        return "The process cannot access the file because it is being used by another process";
    case kErrorHandleDiskFull:
    case kErrorDiskFull: return "There is not enough space on the disk";
    case kErrorFileExists: return "The file exists";
    case kErrorInvalidParameter: return "The parameter is incorrect";
    case kErrorInvalidName: return "The filename, directory name, or volume label syntax is incorrect";
    case kErrorBadPathname: return "The specified path is invalid";
    case kErrorDirNotEmpty: return "The directory is not empty";
    case kErrorAlreadyExists: return "Cannot create a file when that file already exists";
    case kErrorFilenameExcedRange: return "The filename or extension is too long";
    case kErrorMoreData: return "More data is available";
    case kErrorDirectory: return "The directory name is invalid";
    case kErrorBadDb: return "The configuration registry database is corrupt";
    case kErrorKeyDeleted: return "Illegal operation attempted on a registry key that has been marked for deletion";
    case kErrorIoDevice: return "The request could not be performed because of an I/O device error";
    default: return "Unknown error " + std::to_string(code);
    }
}
#endif

namespace {

// Built by appending: "text" + string trips GCC 12's -Wrestrict (bug 105651).
std::string fileMessage(const char* what, const std::string& path, unsigned code) {
    std::string message = what;
    message += " \"";
    message += path;
    message += "\". ";
    message += win32ErrorText(code);
    return message;
}

}  // namespace

std::string cannotCreateFileMessage(const std::string& path, unsigned code) {
    return fileMessage("Cannot create file", path, code);
}

std::string cannotOpenFileMessage(const std::string& path, unsigned code) {
    return fileMessage("Cannot open file", path, code);
}

}  // namespace velmora
