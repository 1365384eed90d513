#include "store/database/sha256.h"

#include <openssl/evp.h>

#include "base/error.h"

namespace velmora {

Sha256Digest sha256(const std::uint8_t* data, std::size_t size) {
    Sha256Digest digest{};
    unsigned int length = 0;
    static const std::uint8_t none = 0;
    if (EVP_Digest(size ? data : &none, size, digest.data(), &length, EVP_sha256(), nullptr) != 1 ||
        length != digest.size()) {
        throw Error("SHA-256 failed in libcrypto");
    }
    return digest;
}

}  // namespace velmora
