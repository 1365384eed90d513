#include "browser/command_guard.h"

#include <new>

#include "browser/message_boxes.h"

namespace velmora {

bool runGuarded(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::bad_alloc&) {
        showError("Out of memory");
    } catch (const std::exception& error) {
        showError(error.what());
    } catch (...) {
        showError("Unknown error");
    }
    return false;
}

}  // namespace velmora
