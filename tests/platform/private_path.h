#pragma once
// PATH for one test: a temporary folder holding links to the programs of this machine
// the test names, and any script it writes there. The code under test finds those and
// nothing else, whatever else is installed; PATH is put back at the end.

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/session_bus.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {

class PrivatePath {
public:
    explicit PrivatePath(std::initializer_list<const char*> programs = {}) {
        for (const char* program : programs) link(program);
    }

    // Links `program` from the caller's PATH into the folder; false when the machine has none.
    bool link(const std::string& program) {
        const std::string found = programLocation(program, callerPath_);
        if (found.empty()) return false;
        std::error_code ignored;
        std::filesystem::create_symlink(found, dir_.file(program), ignored);
        return true;
    }
    std::string file(const std::string& name) const { return dir_.file(name); }

private:
    TempDir dir_;
    std::string callerPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    ScopedEnvironment path_{"PATH", dir_.path().string()};
};

}  // namespace velmora::test
