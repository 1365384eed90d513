#pragma once
// The "show desktop" request of an X11 window manager (_NET_SHOWING_DESKTOP), the
// nearest thing to Windows' Win+M.

namespace velmora::platform {

// Asks the window manager of $DISPLAY to show the desktop. Does nothing and
// returns false when there is no display, no X library, or a window manager
// without that request. Xlib is loaded at run time, so the program needs no X
// library to start.
bool requestShowDesktop();

}  // namespace velmora::platform
