#pragma once
// A VFS over the system's own that fails one shrinking of a named database file with an
// I/O error, as a failing disk ends the last step of a VACUUM. It is the default VFS
// while it lives, so the files opened meanwhile go through it.

#include <string>

namespace velmora::test {

class FailingShrink {
public:
    // The next truncation of a database file whose path ends with fileName fails.
    explicit FailingShrink(std::string fileName);
    ~FailingShrink();
    FailingShrink(const FailingShrink&) = delete;
    FailingShrink& operator=(const FailingShrink&) = delete;

    bool failed() const;
};

}  // namespace velmora::test
