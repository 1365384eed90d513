#pragma once
// A system library opened when a feature first needs it rather than at program start:
// what only some runs use (a server collection, the keyring) costs the others neither
// start time nor memory. Looked up by its soname, as the dynamic linker would.

#include <string>

namespace velmora {

class SharedLibrary {
public:
    // Opens soname (e.g. "libpq.so.5"). neededFor says what the library is for and
    // package which package brings it; both go into the Error raised when it cannot
    // be opened, with the loader's own reason.
    SharedLibrary(const std::string& soname, const std::string& neededFor, const std::string& package);
    // Kept open for the rest of the process: its functions may be in use anywhere.
    ~SharedLibrary() = default;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The function called name, in the library or one it depends on; raises Error
    // when there is none (a library older than the program expects).
    template <typename Function>
    Function* function(const char* name) const {
        return reinterpret_cast<Function*>(symbol(name));
    }

private:
    void* symbol(const char* name) const;

    std::string soname_;
    void* handle_ = nullptr;
};

}  // namespace velmora
