#pragma once
// A COM interface pointer released on every way out of its scope.
#include <windows.h>

namespace velmora::win32 {

template <typename Interface>
struct ComReference {
    Interface* pointer = nullptr;
    ComReference() = default;
    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;
    ~ComReference() {
        if (pointer) pointer->Release();
    }
    Interface* operator->() const { return pointer; }
    Interface** out() { return &pointer; }
};

}  // namespace velmora::win32
