#pragma once
// Giving up a decode half way. A thread that decodes for someone else (the preloader's
// worker) lends its decodes a flag; once the flag is raised, a decode stops at its next
// row of blocks and raises DecodeCancelled, leaving nothing half made behind. The flag
// is looked up on the thread that starts the decode and handed to the threads it starts.

#include <atomic>
#include <exception>

namespace velmora {

struct DecodeCancelled : std::exception {
    const char* what() const noexcept override { return "decode cancelled"; }
};

// Lends flag to the decodes this thread starts while the scope lasts.
class DecodeCancelScope {
public:
    explicit DecodeCancelScope(const std::atomic<bool>& flag);
    ~DecodeCancelScope();
    DecodeCancelScope(const DecodeCancelScope&) = delete;
    DecodeCancelScope& operator=(const DecodeCancelScope&) = delete;

private:
    const std::atomic<bool>* outer_;
};

// The flag lent to this thread's decodes, null when none.
const std::atomic<bool>* decodeCancelFlag();

inline bool cancelRaised(const std::atomic<bool>* flag) {
    return flag != nullptr && flag->load(std::memory_order_relaxed);
}

// Raises DecodeCancelled when this thread's decode is to stop.
inline void stopIfCancelled() {
    if (cancelRaised(decodeCancelFlag())) throw DecodeCancelled();
}

}  // namespace velmora
