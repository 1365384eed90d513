#include "base/shared_library.h"

#include <dlfcn.h>

#include "base/error.h"

namespace velmora {

namespace {

std::string loaderReason() {
    const char* reason = dlerror();
    return reason ? reason : "unknown reason";
}

}  // namespace

SharedLibrary::SharedLibrary(const std::string& soname, const std::string& neededFor, const std::string& package)
    : soname_(soname) {
    // Local: the library's names never stand in for another library's.
    handle_ = dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        throw Error(neededFor + " needs " + soname + " (package " + package + "), which cannot be loaded: " +
                    loaderReason());
    }
}

void* SharedLibrary::symbol(const char* name) const {
    dlerror();
    void* found = dlsym(handle_, name);
    if (!found) throw Error(soname_ + " has no function " + name + ": " + loaderReason());
    return found;
}

}  // namespace velmora
