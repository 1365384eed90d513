#include "platform/show_desktop_x11.h"

#include <cstdlib>

#include <dlfcn.h>

#if __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#define VELMORA_HAVE_XLIB 1
#endif

namespace velmora::platform {

#ifdef VELMORA_HAVE_XLIB
namespace {

struct Xlib {
    decltype(&XOpenDisplay) openDisplay = nullptr;
    decltype(&XCloseDisplay) closeDisplay = nullptr;
    decltype(&XInternAtom) internAtom = nullptr;
    decltype(&XGetWindowProperty) getWindowProperty = nullptr;
    decltype(&XSendEvent) sendEvent = nullptr;
    decltype(&XFlush) flush = nullptr;
    decltype(&XFree) free = nullptr;

    bool complete() const {
        return openDisplay && closeDisplay && internAtom && getWindowProperty && sendEvent &&
               flush && free;
    }
};

// Loaded once and kept: unloading Xlib while Qt may use it is not safe.
const Xlib* loadXlib() {
    static const Xlib* loaded = [] () -> const Xlib* {
        void* library = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) return nullptr;
        static Xlib xlib;
        xlib.openDisplay = reinterpret_cast<decltype(xlib.openDisplay)>(::dlsym(library, "XOpenDisplay"));
        xlib.closeDisplay = reinterpret_cast<decltype(xlib.closeDisplay)>(::dlsym(library, "XCloseDisplay"));
        xlib.internAtom = reinterpret_cast<decltype(xlib.internAtom)>(::dlsym(library, "XInternAtom"));
        xlib.getWindowProperty =
            reinterpret_cast<decltype(xlib.getWindowProperty)>(::dlsym(library, "XGetWindowProperty"));
        xlib.sendEvent = reinterpret_cast<decltype(xlib.sendEvent)>(::dlsym(library, "XSendEvent"));
        xlib.flush = reinterpret_cast<decltype(xlib.flush)>(::dlsym(library, "XFlush"));
        xlib.free = reinterpret_cast<decltype(xlib.free)>(::dlsym(library, "XFree"));
        return xlib.complete() ? &xlib : nullptr;
    }();
    return loaded;
}

bool supportsShowingDesktop(const Xlib& x, Display* display, Window root, Atom showing) {
    Atom supported = x.internAtom(display, "_NET_SUPPORTED", True);
    if (supported == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (x.getWindowProperty(display, root, supported, 0, 4096, False, XA_ATOM, &type, &format,
                            &count, &after, &data) != Success || data == nullptr)
        return false;
    bool found = false;
    if (format == 32) {
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count && !found; ++i) found = atoms[i] == showing;
    }
    x.free(data);
    return found;
}

}  // namespace

bool requestShowDesktop() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') return false;
    const Xlib* x = loadXlib();
    if (x == nullptr) return false;
    Display* display = x->openDisplay(name);
    if (display == nullptr) return false;
    Window root = DefaultRootWindow(display);
    Atom showing = x->internAtom(display, "_NET_SHOWING_DESKTOP", True);
    bool sent = false;
    if (showing != None && supportsShowingDesktop(*x, display, root, showing)) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = root;
        event.xclient.message_type = showing;
        event.xclient.format = 32;
        event.xclient.data.l[0] = 1;
        sent = x->sendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask,
                            &event) != 0;
        x->flush(display);
    }
    x->closeDisplay(display);
    return sent;
}

#else

bool requestShowDesktop() {
    return false;
}

#endif

}  // namespace velmora::platform
