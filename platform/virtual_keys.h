#pragma once
// Virtual-key codes to keyboard scan codes, as MapVirtualKey gives them for a US
// keyboard layout.

namespace velmora::platform {

// The set-1 scan code of a virtual key, 0 when it has none.
unsigned scanCodeOfVirtualKey(unsigned virtualKey);

}  // namespace velmora::platform
