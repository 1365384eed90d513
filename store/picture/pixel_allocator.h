#pragma once
// Allocates large pixel buffers on transparent huge pages where the system offers
// them: a 4000 x 3000 bitmap then takes a few dozen page faults instead of thousands,
// which dominates the cost of loading and decoding big pictures.

#ifdef _WIN32
#include <malloc.h>
#else
#include <sys/mman.h>
#endif

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

namespace velmora {

template <typename T>
struct PixelAllocator {
    using value_type = T;
    static constexpr std::size_t kHugePage = 2u << 20;

    PixelAllocator() = default;
    template <typename U>
    PixelAllocator(const PixelAllocator<U>&) {}

    T* allocate(std::size_t count) {
        std::size_t bytes = count * sizeof(T);
        if (bytes < 2 * kHugePage) {
            return static_cast<T*>(::operator new(bytes));
        }
        std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
#ifdef _WIN32
        // The C runtime of Windows has no aligned_alloc; large pages there need a privilege.
        void* memory = _aligned_malloc(rounded, kHugePage);
        if (!memory) throw std::bad_alloc();
#else
        void* memory = std::aligned_alloc(kHugePage, rounded);
        if (!memory) throw std::bad_alloc();
        madvise(memory, rounded, MADV_HUGEPAGE);  // a hint: ignored where unsupported
#endif
        return static_cast<T*>(memory);
    }

    void deallocate(T* pointer, std::size_t count) {
        if (count * sizeof(T) < 2 * kHugePage) {
            ::operator delete(pointer);
        } else {
#ifdef _WIN32
            _aligned_free(pointer);
#else
            std::free(pointer);
#endif
        }
    }

    // Elements made without a value stay unset: readers that overwrite every byte
    // need no zero-fill first (fresh pages come zeroed from the system anyway).
    template <typename U>
    void construct(U* pointer) noexcept {
        ::new (static_cast<void*>(pointer)) U;
    }
    template <typename U, typename... Args>
    void construct(U* pointer, Args&&... args) {
        ::new (static_cast<void*>(pointer)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const PixelAllocator<U>&) const {
        return true;
    }
};

}  // namespace velmora
