// The fair duel's cryptography for the native programs, from OpenSSL's
// libcrypto: secrets, salts and drawn words from the system's random
// source, SHA-256 for the commitments and HMAC-SHA-256 for the readings.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "Fair.h"

namespace saberline::fair {

// 32 bytes from OpenSSL's CSPRNG (seeded by the operating system); throws
// std::runtime_error if it cannot deliver. A player's salt is made the same
// way.
Secret NewSecret();
inline Salt NewSalt() { return NewSecret(); }
// A player's word drawn from 64 bits of the same source.
std::string NewWord();

Digest Sha256(std::span<const std::uint8_t> bytes);
Digest HmacSha256(std::span<const std::uint8_t> key, std::string_view message);

// The referee's commitment to the secret and the duel, which goes into the
// thread before the duel.
Digest RefereeCommitment(const Secret& secret, const CanonicalDuel& duel);
// A player's commitment to a word.
Digest PlayerCommitment(const Salt& salt, std::string_view word);
// The commitments a fair duel's secret and salts give.
Commitments NativeCommitments(const FairDuel& duel);

// All 100 readings of a fair duel.
Readings NativeReadings(const FairDuel& duel);

}  // namespace saberline::fair
