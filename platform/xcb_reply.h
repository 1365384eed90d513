#pragma once
// An xcb reply, which the caller owns and frees with free().
#include <cstdlib>
#include <memory>

namespace velmora::platform {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> reply(T* answer) {
    return Reply<T>(answer, &std::free);
}

}  // namespace velmora::platform
