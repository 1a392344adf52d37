#include "FairCrypto.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <limits>
#include <stdexcept>

namespace saberline::fair {

Secret NewSecret() {
    Secret secret{};
    if (RAND_bytes(secret.data(), static_cast<int>(secret.size())) != 1)
        throw std::runtime_error("the system's random source gave no secret");
    return secret;
}

Digest Sha256(std::span<const std::uint8_t> bytes) {
    Digest digest{};
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr) != 1 ||
        length != digest.size())
        throw std::runtime_error("SHA-256 failed");
    return digest;
}

Digest HmacSha256(std::span<const std::uint8_t> key, std::string_view message) {
    Digest mac{};
    unsigned int length = 0;
    if (key.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()) ||
        HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
             reinterpret_cast<const unsigned char*>(message.data()), message.size(), mac.data(),
             &length) == nullptr ||
        length != mac.size())
        throw std::runtime_error("HMAC-SHA-256 failed");
    return mac;
}

Readings NativeReadings(const FairDuel& duel) {
    return ComputeReadings(duel, [](const Secret& secret, const std::string& message) {
        return HmacSha256(secret, message);
    });
}

}  // namespace saberline::fair
