#include "store/imagefile/mapping_guard.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace velmora {
namespace {

// A slot's generation is odd while a mapping holds it and goes up by one when it is
// claimed and when it is freed. The handler trusts what it read of begin and end only
// when the generation was odd and the same before and after, so a slot freed and
// claimed again in between is never taken for the old mapping; damage is recorded
// against the generation it was seen in, so it never reaches the next holder.
struct Slot {
    std::atomic<std::uint64_t> generation{0};
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<std::uint64_t> damagedIn{0};  // the generation a page was replaced in
};

constexpr int kSlots = 32;
Slot slots[kSlots];
struct sigaction previous {};
std::uintptr_t pageSize = 4096;  // read once, before the handler can run

// The slot generation whose mapping holds address, or 0.
std::uint64_t holderOf(const Slot& slot, std::uintptr_t address) {
    const std::uint64_t generation = slot.generation.load();
    if ((generation & 1) == 0) return 0;
    const std::uintptr_t begin = slot.begin.load();
    const std::uintptr_t end = slot.end.load();
    const bool inside = begin != 0 && address >= begin && address < end;
    return inside && slot.generation.load() == generation ? generation : 0;
}

void defaultDisposition() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, nullptr);
}

// What would have happened without the guard. A fault the kernel raised happens again
// when the read is retried, so the default disposition ends the program there; a signal
// sent by a program is raised again under the default disposition (which ends the
// program) or dropped when it was ignored.
void forward(int signal, siginfo_t* info, void* context) {
    if (previous.sa_flags & SA_SIGINFO) {
        previous.sa_sigaction(signal, info, context);
    } else if (previous.sa_handler != SIG_IGN && previous.sa_handler != SIG_DFL) {
        previous.sa_handler(signal);
    } else if (info->si_code > 0) {
        defaultDisposition();
    } else if (previous.sa_handler == SIG_DFL) {
        defaultDisposition();
        ::raise(SIGBUS);
    }
}

// Runs in the signal handler: only atomics and system calls.
void onBusError(int signal, siginfo_t* info, void* context) {
    // Only a read past the end of a shortened file is ours: the kernel's BUS_ADRERR.
    // si_code of a signal sent with kill or sigqueue is not positive.
    if (info->si_code == BUS_ADRERR) {
        const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
        for (Slot& slot : slots) {
            const std::uint64_t generation = holderOf(slot, address);
            if (generation == 0) continue;
            void* at = reinterpret_cast<void*>(address & ~(pageSize - 1));
            // A zero page in place of the vanished one; the read that faulted goes on.
            if (::mmap(at, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
                slot.damagedIn.store(generation);
                return;
            }
            break;
        }
    }
    forward(signal, info, context);
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
        std::uint64_t generation = slots[i].generation.load();
        if (generation & 1) continue;
        // Claimed by making the generation odd; the range is set before anything can fault in it.
        if (slots[i].generation.compare_exchange_strong(generation, generation + 1)) {
            slots[i].begin.store(begin);
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
    slots[slot].generation.fetch_add(1);
}

bool mappingDamaged(int slot) {
    return slot >= 0 && slots[slot].damagedIn.load() == slots[slot].generation.load();
}

}  // namespace velmora
