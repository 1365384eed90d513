#include "store/imagefile/mapping_guard.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace velmora {
namespace {

struct Slot {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> damaged{false};
};

constexpr int kSlots = 32;
Slot slots[kSlots];
struct sigaction previous {};
std::uintptr_t pageSize = 4096;  // read once, before the handler can run

// Runs in the signal handler: only atomics and system calls.
void onBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot& slot : slots) {
        const std::uintptr_t begin = slot.begin.load();
        if (begin == 0 || address < begin || address >= slot.end.load()) continue;
        void* at = reinterpret_cast<void*>(address & ~(pageSize - 1));
        // A zero page in place of the vanished one; the read that faulted goes on.
        if (::mmap(at, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            slot.damaged.store(true);
            return;
        }
        break;
    }
    // Not ours: what was there before (the default ends the program, as it would have).
    if (previous.sa_flags & SA_SIGINFO) {
        previous.sa_sigaction(signal, info, context);
    } else if (previous.sa_handler != SIG_IGN && previous.sa_handler != SIG_DFL) {
        previous.sa_handler(signal);
    } else {
        ::signal(SIGBUS, SIG_DFL);
    }
}

void installHandler() {
    pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &previous);
}

}  // namespace

int guardMapping(const void* data, std::size_t size) {
    static std::once_flag installed;
    std::call_once(installed, installHandler);
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    for (int i = 0; i < kSlots; ++i) {
        std::uintptr_t free = 0;
        // Claimed by its begin; the end is set before anything can fault in it.
        if (slots[i].begin.compare_exchange_strong(free, begin)) {
            slots[i].damaged.store(false);
            slots[i].end.store(begin + size);
            return i;
        }
    }
    return -1;
}

void unguardMapping(int slot) {
    if (slot < 0) return;
    slots[slot].end.store(0);
    slots[slot].begin.store(0);
}

bool mappingDamaged(int slot) { return slot >= 0 && slots[slot].damaged.load(); }

}  // namespace velmora
