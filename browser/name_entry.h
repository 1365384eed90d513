#pragma once
// The name entry result of the add commands: the naming dialog's accepted flag and the
// name confirmed in it. The flag is false outside those commands: each clears it on
// every way out (Scope).

#include <string>

#include "browser/browser_view.h"

namespace velmora {

class NameEntry {
public:
    // Shows the naming dialog proposing "图片" and pictureCount + 1. An empty name is
    // refused and the dialog stays open. True when a name was accepted.
    bool ask(BrowserView& view, int pictureCount);
    bool accepted() const { return accepted_; }
    const std::string& name() const { return name_; }
    void clearAccepted() { accepted_ = false; }

    // Clears the accepted flag when a command ends, however it ends.
    struct Scope {
        NameEntry& entry;
        ~Scope() { entry.clearAccepted(); }
    };

private:
    bool accepted_ = false;
    std::string name_;
};

}  // namespace velmora
