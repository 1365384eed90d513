#include "store/database/sha256.h"

#include <openssl/evp.h>

#include "base/error.h"
#include "base/shared_library.h"

namespace velmora {

namespace {

// libcrypto is loaded at the first digest (an add or the thumbnails), not at start.
struct DigestFunctions {
    decltype(EVP_Digest)* digest;
    decltype(EVP_sha256)* sha256;
};

const DigestFunctions& digestFunctions() {
    static const SharedLibrary library("libcrypto.so.3", "Picture digests", "libssl3");
    static const DigestFunctions functions{library.function<decltype(EVP_Digest)>("EVP_Digest"),
                                           library.function<decltype(EVP_sha256)>("EVP_sha256")};
    return functions;
}

}  // namespace

Sha256Digest sha256(const std::uint8_t* data, std::size_t size) {
    const DigestFunctions& libcrypto = digestFunctions();
    Sha256Digest digest{};
    unsigned int length = 0;
    static const std::uint8_t none = 0;
    if (libcrypto.digest(size ? data : &none, size, digest.data(), &length, libcrypto.sha256(), nullptr) != 1 ||
        length != digest.size()) {
        throw Error("SHA-256 failed in libcrypto");
    }
    return digest;
}

}  // namespace velmora
