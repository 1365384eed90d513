#pragma once
// A private X server for one test (kept alive between clients, so root-window
// properties stay): Xvfb picks a free display number and reports it
// once it accepts connections; it is stopped when the object goes.

#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace velmora::test {

class XvfbServer {
public:
    // Throws std::runtime_error when the server does not come up within 15 seconds.
    // extraArguments go to Xvfb ("-extension", "MIT-SHM" turns that extension off).
    explicit XvfbServer(const std::vector<std::string>& extraArguments = {});
    ~XvfbServer();

    const std::string& display() const { return display_; }

private:
    std::unique_ptr<ChildProcess> server_;
    std::string display_;
};

}  // namespace velmora::test
