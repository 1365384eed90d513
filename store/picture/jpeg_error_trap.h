#pragma once
// libjpeg's fatal errors end in a longjmp back to the function that started the
// codec, which then raises JpegError. Exceptions are never thrown through libjpeg's
// C frames. Warnings are counted by libjpeg and otherwise ignored; nothing is printed.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace velmora {

struct JpegErrorTrap {
    jpeg_error_mgr manager;  // first member: libjpeg sees only this part
    std::jmp_buf jump;
    int code = 0;  // the library's message code of the fatal error
};

// Sets up trap as the error manager for a codec object about to be created.
jpeg_error_mgr* installErrorTrap(JpegErrorTrap& trap);

}  // namespace velmora
