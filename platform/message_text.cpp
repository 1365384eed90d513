#include "platform/message_text.h"

namespace velmora::platform {

std::string withClosingFullStop(const std::string& message) {
    if (message.empty()) return message;
    // The last character starts at the last byte that is not a UTF-8 continuation.
    std::size_t start = message.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(message[start]) & 0xC0) == 0x80) --start;
    // std::string compares bytes as unsigned, like the byte-string comparison wanted.
    return message.compare(start, std::string::npos, ".") > 0 ? message + "." : message;
}

}  // namespace velmora::platform
