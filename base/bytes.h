#pragma once
// Picture bytes travel as one immutable, reference-counted buffer: a file, a record,
// a display area and an exported file share it instead of copying it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace velmora {

using Bytes = std::vector<std::uint8_t>;
using SharedBytes = std::shared_ptr<const Bytes>;

inline SharedBytes shareBytes(Bytes bytes) {
    return std::make_shared<const Bytes>(std::move(bytes));
}

// Bytes held elsewhere, for writing a file from pieces without joining them first.
struct ByteRun {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

}  // namespace velmora
