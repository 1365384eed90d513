#pragma once
// libjpeg message codes as libjpeg 6b (library version 62) numbers them. The
// library in use may number its messages differently; the names are what agree.

namespace velmora {

// The 6b number of the library's message code `code` (a J_MESSAGE_CODE value).
// Messages 6b never had are given the nearest 6b message; unknown codes give 0.
int libjpeg6bMessageCode(int code);

}  // namespace velmora
