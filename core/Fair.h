// Fair duels by commit and reveal. Before the duel the referee publishes the
// SHA-256 of a 256-bit secret (the commitment); each duellist's player then
// posts a word; every reseed of the duel reads the first 8 bytes, big-endian,
// of HMAC-SHA-256 keyed with the secret over a message naming this format's
// version, the request, both words and the reseed's number. Revealing the
// secret afterwards lets anyone replay the duel.
//
// This file holds the format and the replay only. SHA-256 and HMAC-SHA-256
// come from the shell: OpenSSL for the native programs, Web Crypto for the
// page, so that the core builds without either.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Duel.h"

namespace saberline::fair {

// The format's version; the first piece of every message and of every
// verification text.
inline constexpr char kVersion[] = "saberline-fair-v1";

inline constexpr std::size_t kSecretBytes = 32;
inline constexpr std::size_t kDigestBytes = 32;
inline constexpr std::size_t kMaxWordCharacters = 100;
// A duel reseeds once per move: reseeds 1 to 100.
inline constexpr int kReseeds = kMaxMoves;

using Secret = std::array<std::uint8_t, kSecretBytes>;
using Digest = std::array<std::uint8_t, kDigestBytes>;
// readings[n - 1] is the reading of reseed n.
using Readings = std::array<std::uint64_t, kReseeds>;

// Lowercase hexadecimal digits of the bytes.
std::string ToHex(std::span<const std::uint8_t> bytes);
// 64 hexadecimal digits (either case) as 32 bytes; nullopt for anything else.
std::optional<std::array<std::uint8_t, 32>> Hex32(std::string_view hex);

// A player's word is 1 to 100 characters of well-formed UTF-8 without
// control characters (U+0000 to U+001F, U+007F to U+009F). It is used
// exactly as given: no trimming, no Unicode normalisation.
enum class WordProblem : std::uint8_t { None, Empty, NotUtf8, TooLong, ControlCharacter };
WordProblem CheckWord(std::string_view word);
// The problem as a phrase that follows the word's name ("is empty", ...);
// empty when the word is acceptable.
std::string WordFault(std::string_view word);

// Everything that fixes a fair duel's dice besides the HMAC itself.
struct FairDuel {
    Secret secret{};
    std::string word1;
    std::string word2;
    DuelRequest request = DuelRequest::StartUp();
};

// The request in canonical form: each field text of the duel screen in the
// fixed order BP1, OgnOr1, HolOr1, StrZ1, StrSt11..StrSt14, ShAtack1, then
// the same for duellist 2, then the duel type as the digit 1, 2 or 3; every
// piece as a 4-byte big-endian byte count followed by its UTF-8 bytes.
std::string CanonicalRequest(const DuelRequest& request);

// The message whose HMAC gives reseed n's reading (n = 1..100):
//   piece(version) piece(canonical request pieces...) piece(word1) piece(word2) n
// where piece(x) is x's byte count as 4 bytes big-endian followed by x, and n
// is 4 bytes big-endian.
std::string ReseedMessage(const FairDuel& duel, std::uint32_t reseed);

// A reseed's 64-bit reading: the first 8 bytes of its HMAC, big-endian. The
// dice seed is then the reading's low 32 bits, as for any reading.
std::uint64_t ReadingFromMac(std::span<const std::uint8_t, kDigestBytes> mac);

// The readings of all 100 reseeds, with the HMAC given by the shell:
// mac(secret, message) -> 32 bytes.
template <typename Mac>
Readings ComputeReadings(const FairDuel& duel, Mac&& mac) {
    Readings readings{};
    for (int n = 1; n <= kReseeds; ++n) {
        const Digest digest = mac(duel.secret, ReseedMessage(duel, static_cast<std::uint32_t>(n)));
        readings[static_cast<std::size_t>(n - 1)] = ReadingFromMac(digest);
    }
    return readings;
}

// The duel request fought with reseed n taking readings[n - 1].
DuelScreenTexts RunFairDuel(const DuelRequest& request, const Readings& readings);

// The verification text: one line, safe in a URL fragment, holding the
// version, the secret, both words and the request:
//   saberline-fair-v1&secret=HEX&word1=W&word2=W&TypeBattle=T&BP1=V&...&ShAtack2=V
// with every field of the duel screen in canonical order. Values are UTF-8
// with every byte other than A-Z a-z 0-9 - . _ ~ written as %XX.
std::string FormatVerification(const FairDuel& duel);

// The page's verification link is the page's address, '#', this prefix and
// the verification text.
inline constexpr char kLinkPrefix[] = "fair:";
std::string LinkFragment(const FairDuel& duel);

// A verification text read back: the duel, or a one-line reason why the
// text is not a verification. Also reads the fragment of a verification link
// (prefix and text) and a whole link (anything, then '#', prefix and text).
std::variant<FairDuel, std::string> ParseVerification(std::string_view text);

// What a check compares, as posted in the thread.
struct Posted {
    Digest commitment{};
    DuelScreenTexts texts;
};

// A verification checked against what was posted. The shell supplies the
// secret's SHA-256 and the readings from its own crypto.
struct FairCheck {
    std::string commitment;    // SHA-256 of the revealed secret, hex
    DuelScreenTexts replayed;  // the duel the secret, words and request give
    // What differs from the posted texts, in this order, by name:
    // "commitment", "InfoBM1", "InfoBM2", "ErrorText". Empty when verified.
    std::vector<std::string> differs;

    bool Verified() const noexcept { return differs.empty(); }
};
FairCheck CheckFairDuel(const FairDuel& duel, const Digest& secretSha256, const Readings& readings,
                        const Posted& posted);

}  // namespace saberline::fair
