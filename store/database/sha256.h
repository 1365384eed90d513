#pragma once
// SHA-256 of a byte string, from the system's own vetted implementation: libcrypto
// (OpenSSL) on Linux, the CNG provider (bcrypt.dll) on Windows.

#include <array>
#include <cstddef>
#include <cstdint>

namespace velmora {

using Sha256Digest = std::array<std::uint8_t, 32>;

// The digest of `size` bytes at `data` (data may be null when size is 0). Raises
// Error when the library fails.
Sha256Digest sha256(const std::uint8_t* data, std::size_t size);

}  // namespace velmora
