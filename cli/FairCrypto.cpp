#include "FairCrypto.h"

#include <dlfcn.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <array>
#include <limits>
#include <stdexcept>
#include <string>

namespace saberline::fair {
namespace {

// OpenSSL's libcrypto is opened by the fair commands when they first need it,
// not linked: mapping and relocating it took more than half the time of every
// other saberline-cli command, which never use it. Each function keeps the
// type its OpenSSL header declares.
struct Libcrypto {
    decltype(&::RAND_bytes) randBytes;
    decltype(&::EVP_Digest) digest;
    decltype(&::EVP_sha256) sha256;
    decltype(&::HMAC) hmac;
};

template <typename Function>
void Bind(void* library, const char* name, Function& function) {
    void* found = dlsym(library, name);
    if (!found) throw std::runtime_error(std::string("OpenSSL's libcrypto has no ") + name);
    function = reinterpret_cast<Function>(found);
}

const Libcrypto& Crypto() {
    static const Libcrypto crypto = [] {
        void* library = dlopen(SABERLINE_LIBCRYPTO, RTLD_NOW | RTLD_LOCAL);
        if (!library)
            throw std::runtime_error(std::string("OpenSSL's libcrypto could not be opened: ") + dlerror());
        Libcrypto bound{};
        Bind(library, "RAND_bytes", bound.randBytes);
        Bind(library, "EVP_Digest", bound.digest);
        Bind(library, "EVP_sha256", bound.sha256);
        Bind(library, "HMAC", bound.hmac);
        return bound;
    }();
    return crypto;
}

}  // namespace

Secret NewSecret() {
    Secret secret{};
    if (Crypto().randBytes(secret.data(), static_cast<int>(secret.size())) != 1)
        throw std::runtime_error("the system's random source gave no secret");
    return secret;
}

Digest Sha256(std::span<const std::uint8_t> bytes) {
    Digest digest{};
    unsigned int length = 0;
    if (Crypto().digest(bytes.data(), bytes.size(), digest.data(), &length, Crypto().sha256(), nullptr) != 1 ||
        length != digest.size())
        throw std::runtime_error("SHA-256 failed");
    return digest;
}

Digest HmacSha256(std::span<const std::uint8_t> key, std::string_view message) {
    Digest mac{};
    unsigned int length = 0;
    if (key.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()) ||
        Crypto().hmac(Crypto().sha256(), key.data(), static_cast<int>(key.size()),
             reinterpret_cast<const unsigned char*>(message.data()), message.size(), mac.data(),
             &length) == nullptr ||
        length != mac.size())
        throw std::runtime_error("HMAC-SHA-256 failed");
    return mac;
}

std::string NewWord() {
    std::array<std::uint8_t, kWordBytes> bytes{};
    if (Crypto().randBytes(bytes.data(), static_cast<int>(bytes.size())) != 1)
        throw std::runtime_error("the system's random source gave no word");
    return DrawnWord(bytes);
}

namespace {
Digest Sha256Of(const std::string& message) {
    return Sha256(std::span(reinterpret_cast<const std::uint8_t*>(message.data()), message.size()));
}
}  // namespace

Digest PlayerCommitment(const Salt& salt, std::string_view word) {
    return Sha256Of(WordCommitmentMessage(salt, word));
}

Digest RefereeCommitment(const Secret& secret, const CanonicalDuel& duel) {
    return Sha256Of(RefereeCommitmentMessage(secret, duel));
}

Commitments NativeCommitments(const FairDuel& duel) {
    Commitments commitments;
    commitments.referee = RefereeCommitment(duel.secret, duel.duel);
    if (duel.salt1) commitments.player1 = PlayerCommitment(*duel.salt1, duel.word1);
    if (duel.salt2) commitments.player2 = PlayerCommitment(*duel.salt2, duel.word2);
    return commitments;
}

Readings NativeReadings(const FairDuel& duel) {
    return ComputeReadings(duel, [](const Secret& secret, const std::string& message) {
        return HmacSha256(secret, message);
    });
}

}  // namespace saberline::fair
