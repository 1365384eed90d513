#include "platform/virtual_keys.h"

namespace velmora::platform {

unsigned scanCodeOfVirtualKey(unsigned virtualKey) {
    // Letters in alphabetical order, digits from 0 to 9.
    static const unsigned char letters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22,
                                              0x23, 0x17, 0x24, 0x25, 0x26, 0x32, 0x31,
                                              0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16,
                                              0x2F, 0x11, 0x2D, 0x15, 0x2C};
    static const unsigned char digits[10] = {0x0B, 0x02, 0x03, 0x04, 0x05,
                                             0x06, 0x07, 0x08, 0x09, 0x0A};
    if (virtualKey >= 'A' && virtualKey <= 'Z') return letters[virtualKey - 'A'];
    if (virtualKey >= '0' && virtualKey <= '9') return digits[virtualKey - '0'];
    switch (virtualKey) {
    case 0x08: return 0x0E;  // backspace
    case 0x09: return 0x0F;  // tab
    case 0x0D: return 0x1C;  // return
    case 0x10: return 0x2A;  // shift
    case 0x11: return 0x1D;  // control
    case 0x12: return 0x38;  // alt
    case 0x1B: return 0x01;  // escape
    case 0x20: return 0x39;  // space
    case 0x5B: return 0x5B;  // left Windows key
    case 0x5C: return 0x5C;  // right Windows key
    default: return 0;
    }
}

}  // namespace velmora::platform
