#include "store/database/sha256.h"

#include <windows.h>
#include <bcrypt.h>

#include <limits>

#include "base/error.h"

namespace velmora {

namespace {

[[noreturn]] void failed() { throw Error("SHA-256 failed in the system's cryptography provider"); }

struct Algorithm {
    BCRYPT_ALG_HANDLE handle = nullptr;
    ~Algorithm() {
        if (handle) BCryptCloseAlgorithmProvider(handle, 0);
    }
};

struct Hash {
    BCRYPT_HASH_HANDLE handle = nullptr;
    ~Hash() {
        if (handle) BCryptDestroyHash(handle);
    }
};

}  // namespace

Sha256Digest sha256(const std::uint8_t* data, std::size_t size) {
    Algorithm algorithm;
    Hash hash;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm.handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(BCryptCreateHash(algorithm.handle, &hash.handle, nullptr, 0, nullptr, 0, 0))) {
        failed();
    }
    // BCryptHashData takes at most 4 GB at once.
    constexpr std::size_t kPiece = std::numeric_limits<ULONG>::max();
    for (std::size_t at = 0; at < size; at += kPiece) {
        const std::size_t length = size - at < kPiece ? size - at : kPiece;
        if (!BCRYPT_SUCCESS(BCryptHashData(hash.handle, const_cast<PUCHAR>(data + at), static_cast<ULONG>(length), 0))) {
            failed();
        }
    }
    Sha256Digest digest{};
    if (!BCRYPT_SUCCESS(BCryptFinishHash(hash.handle, digest.data(), static_cast<ULONG>(digest.size()), 0))) failed();
    return digest;
}

}  // namespace velmora
