// Fair duels by commit and reveal. Before the duel the referee publishes a
// commitment to a 256-bit secret and to the duel as the rules fight it
// (SHA-256 of both); each duellist's player publishes a salted commitment to
// a word drawn at random (or, in a friendly duel, the word itself); every
// reseed of the duel reads the first 8 bytes, big-endian, of HMAC-SHA-256
// keyed with the secret over a message naming this format's version, the
// rules' version, the duel, both words and the reseed's number. Revealing
// the secret, then the words, lets anyone fight the duel and check it.
//
// The readings come from the canonical duel: the integers the rules read,
// taken from the validated, expanded duellist records, and nothing else. Any
// two requests the referee fights identically give the same readings, so no
// respelling of a request changes the dice.
//
// This file holds the formats and the replay only. SHA-256 and HMAC-SHA-256
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
#include "Items.h"
#include "Utf8.h"

namespace saberline::fair {

// The format's version: the first piece of every readings' message and the
// first item of every verification text. Every version of the format is
// named "saberline-fair-" and its number; a verification of another version
// is refused with both versions named. The rules' version (kRulesVersion,
// DuelRules.h) follows it in every message, commitment and verification.
inline constexpr char kVersion[] = "saberline-fair-v3";
std::string_view VersionFamily();  // "saberline-fair-"
// The first piece of a player's commitment and of the referee's, which sets
// each apart from every other hash of the format: the version followed by
// "-word" or "-referee".
std::string WordTag();
std::string RefereeTag();
// The verification's item that names the rules' version, right after the
// format's version.
inline constexpr char kRulesKey[] = "rules";

inline constexpr std::size_t kSecretBytes = 32;
inline constexpr std::size_t kSaltBytes = 32;
inline constexpr std::size_t kDigestBytes = 32;
inline constexpr std::size_t kMaxWordDigits = 20;
// A drawn word is a decimal number of 64 random bits: 0 to
// 18446744073709551615, at most 20 digits.
inline constexpr std::size_t kWordBytes = 8;
// A duel reseeds once per move: reseeds 1 to 100.
inline constexpr int kReseeds = kMaxMoves;

using Secret = std::array<std::uint8_t, kSecretBytes>;
using Salt = std::array<std::uint8_t, kSaltBytes>;
using Digest = std::array<std::uint8_t, kDigestBytes>;
// readings[n - 1] is the reading of reseed n.
using Readings = std::array<std::uint64_t, kReseeds>;

// Lowercase hexadecimal digits of the bytes.
using items::ToHex;
// 64 hexadecimal digits (either case) as 32 bytes; nullopt for anything
// else. Nothing is trimmed.
std::optional<std::array<std::uint8_t, 32>> Hex32(std::string_view hex);

// A player's word has one spelling: a decimal number without sign, spaces
// or leading zeros ("0" or a digit 1-9 followed by digits 0-9), at most 20
// digits, ASCII only. So two accepted words that look alike are the same
// word. The problems, in the order they are looked for:
enum class WordProblem : std::uint8_t {
    None,
    Empty,
    NotAscii,     // a byte above 0x7F: look-alike letters and digits, invisible and format characters
    NotDigit,     // an ASCII character other than 0-9: signs, spaces, letters, controls
    LeadingZero,  // more than one digit, the first 0
    TooLong,      // more than 20 digits
};
WordProblem CheckWord(std::string_view word);

// The word drawn from 8 random bytes: their big-endian value in decimal.
// Nobody can guess it, so nobody can grind secrets or words against it.
std::string DrawnWord(std::span<const std::uint8_t, kWordBytes> bytes);

// --- The canonical duel -------------------------------------------------------

// One duellist as the rules fight: the integers the moves read and nothing
// else. What a duel type never reads is absent.
struct CanonicalDuellist {
    std::int32_t health = 0;
    std::optional<std::int32_t> firearm;  // pistol and mixed duels
    std::optional<std::int32_t> cold;     // cold-weapon and mixed duels
    std::int32_t armour = 0;
    // Cold-weapon and mixed duels: the sides that parry, ascending (strong
    // sides 1 to 3, and the fourth exactly when it parries: with the noble
    // costume).
    std::vector<std::int32_t> parrying;
    // Cold-weapon and mixed duels: the attack digit of every cold move, in
    // move order (100 digits; 79 in a mixed duel, whose pistol moves 1, 5,
    // 10, ..., 100 read none).
    std::vector<std::int32_t> scheme;

    bool operator==(const CanonicalDuellist&) const = default;
};

struct CanonicalDuel {
    DuelType type = DuelType::Pistols;
    std::array<CanonicalDuellist, 2> duellists;

    bool operator==(const CanonicalDuel&) const = default;
};

// The duel a request makes the rules fight, from the same validation and
// scheme expansion as the duel button; or the message that refuses the
// request (the duel screen's ErrorText). A refused request takes no
// readings and gives no verification.
std::variant<CanonicalDuel, std::string> Canonicalise(const DuelRequest& request);

// The canonical duel's bytes in the readings' message: every integer as 4
// bytes, big-endian two's complement, in this order:
//   type (1, 2 or 3), then for duellist 1 and then duellist 2:
//   health, firearm (if read), cold (if read), armour,
//   and if the duel has cold moves: the number of parrying sides, the sides
//   ascending, the attack digit of every cold move in move order.
std::string DuelBytes(const CanonicalDuel& duel);

// The canonical request: the field texts written by the system, which the
// rules read as exactly this duel. Numbers are written by IntToText; the
// firearm or cold-weapon points a duel type never reads (but validation
// requires) are "1"; strong sides unread are empty; parrying sides stand
// ascending in StrSt?1..StrSt?3, a fourth (noble costume) in StrSt?4; a
// scheme is the shortest text whose repetition gives the attack digits the
// moves read, with 1 at places no move reads; schemes of a pistol duel are
// empty.
DuelRequest CanonicalRequest(const CanonicalDuel& duel);

// --- The readings ---------------------------------------------------------

// Everything that fixes a fair duel's dice besides the HMAC itself, and the
// players' salts when they committed to their words.
struct FairDuel {
    Secret secret{};
    std::string word1;
    std::string word2;
    std::optional<Salt> salt1;
    std::optional<Salt> salt2;
    CanonicalDuel duel;
};

// The message of reseed n (n = 1..100), whose HMAC gives its reading:
//   piece(version) int32(rules' version) DuelBytes piece(word1) piece(word2) n
// where piece(x) is x's byte count as 4 bytes big-endian followed by x, and
// int32 and n are 4 bytes big-endian. The salts do not enter it.
// MessagePrefix is all of it but n.
std::string MessagePrefix(const FairDuel& duel);
std::string ReseedMessage(std::string_view prefix, std::uint32_t reseed);

// A reseed's 64-bit reading: the first 8 bytes of its HMAC, big-endian. The
// dice seed is then the reading's low 32 bits, as for any reading.
std::uint64_t ReadingFromMac(std::span<const std::uint8_t, kDigestBytes> mac);

// The readings of all 100 reseeds, with the HMAC given by the shell:
// mac(secret, message) -> 32 bytes.
template <typename Mac>
Readings ComputeReadings(const FairDuel& duel, Mac&& mac) {
    const std::string prefix = MessagePrefix(duel);
    Readings readings{};
    for (int n = 1; n <= kReseeds; ++n) {
        const Digest digest = mac(duel.secret, ReseedMessage(prefix, static_cast<std::uint32_t>(n)));
        readings[static_cast<std::size_t>(n - 1)] = ReadingFromMac(digest);
    }
    return readings;
}

// The canonical duel fought with reseed n taking readings[n - 1].
DuelScreenTexts RunFairDuel(const CanonicalDuel& duel, const Readings& readings);

// What a player's commitment hashes (SHA-256, in the shell):
//   piece(WordTag()) salt (32 bytes) piece(word)
std::string WordCommitmentMessage(const Salt& salt, std::string_view word);

// What the referee's commitment hashes (SHA-256, in the shell):
//   piece(RefereeTag()) int32(rules' version) secret (32 bytes) DuelBytes
// It binds the duel: a mended request needs a new commitment, and a duel
// fought on any other request, or under other rules, does not verify.
std::string RefereeCommitmentMessage(const Secret& secret, const CanonicalDuel& duel);

// --- The verification text --------------------------------------------------

// One line, safe in a URL fragment as it stands (every value is hexadecimal
// or decimal digits and '-'), and the only text of its duel:
//   saberline-fair-v3&rules=1&secret=HEX&word1=W&word2=W[&salt1=HEX][&salt2=HEX]
//     &TypeBattle=T&BP1=V&...&ShAtack2=V
// with the canonical request's field texts in the order of kDuelFields and
// hexadecimal in lowercase. A salt stands exactly when its player's
// commitment is in play.
std::string FormatVerification(const FairDuel& duel);

// The page's verification link is the page's address, '#', this prefix and
// the verification text.
inline constexpr char kLinkPrefix[] = "fair:";
std::string LinkFragment(const FairDuel& duel);

// The verification's items that name the players' words and salts, in order.
inline constexpr std::array<const char*, 2> kWordKeys{"word1", "word2"};
inline constexpr std::array<const char*, 2> kSaltKeys{"salt1", "salt2"};

// Why a text is not a verification; each shell words it in its language.
enum class VerificationProblem : std::uint8_t {
    NotAVerification,   // does not begin with a version tag of the format
    WrongVersion,       // another version: `item` holds it
    WrongRules,         // another rules' version: `item` holds it as written
    AddressHoldsVerification,  // the text before "#fair:" holds "saberline-fair"
    ItemWithoutEquals,  // `item` is the item
    UnknownItem,        // `item` is its name
    RepeatedItem,       // `item` is its name
    BadCharacter,       // the value of `item` holds a character no verification holds
    MissingItem,        // `item` is its name
    SecretBad,          // not 64 lowercase hexadecimal digits
    SaltBad,            // `item` (salt1 or salt2): not 64 lowercase hexadecimal digits
    WordBad,            // `item` (word1 or word2), `word` says why
    TypeBad,            // TypeBattle is not 1, 2 or 3
    FieldBad,           // `item` is the field, `text` says why
    RequestRefused,     // the rules refuse the request: `message` is the duel screen's message
    NotCanonical,       // the field `item` is not written as the canonical request writes it
    OutOfOrder,         // the items are not in their order
};
struct VerificationRefusal {
    VerificationProblem problem = VerificationProblem::NotAVerification;
    // An item's name, an item or a version as found, at most 40 bytes of
    // printable ASCII (anything else shown as '?').
    std::string item;
    WordProblem word = WordProblem::None;
    TextProblem text = TextProblem::None;
    std::string message;
};

// A verification text read back, or why it is none. Also reads the fragment
// of a verification link (prefix and text) and a whole link (an address,
// then '#', prefix and text; the address never holds "saberline-fair", so
// that no text shows one verification and verifies as another). Nothing is
// trimmed, and only the text that FormatVerification writes for its duel is
// accepted. The rules' version is read first: a verification of other
// rules is refused as such, whatever else it holds.
std::variant<FairDuel, VerificationRefusal> ParseVerification(std::string_view text);

// --- The check ------------------------------------------------------------

// What a check compares, as posted in the thread: the referee's commitment,
// the players' commitments in play (a player's commitment is in play exactly
// when it was posted), the logs and the message.
struct Posted {
    Digest commitment{};
    std::optional<Digest> commitment1;
    std::optional<Digest> commitment2;
    DuelScreenTexts texts;
};

// The commitments the verification's secret, duel and salts give, from the
// shell's SHA-256: the referee's, and each player's whose salt the
// verification carries.
struct Commitments {
    Digest referee{};
    std::optional<Digest> player1;
    std::optional<Digest> player2;
};

// A verification checked against what was posted. The shell supplies the
// commitments and the readings from its own crypto.
struct FairCheck {
    DuelScreenTexts replayed;  // the duel the secret, words and request give
    // What differs from what was posted, in this order, by name:
    // "commitment", "commitment1", "commitment2", "InfoBM1", "InfoBM2",
    // "ErrorText". A player's commitment differs when it was posted and the
    // verification carries no salt for it, and when the verification carries
    // a salt and no commitment of that player was posted: one duel has one
    // verification. Empty when verified.
    std::vector<std::string> differs;

    bool Verified() const noexcept { return differs.empty(); }
};
FairCheck CheckFairDuel(const FairDuel& duel, const Commitments& computed, const Readings& readings,
                        const Posted& posted);

// The commitments alone, before anyone fights: the names of those that do
// not open, in the order above. The referee's is compared when given; a
// player's as in CheckFairDuel.
std::vector<std::string> DifferingCommitments(const FairDuel& duel, const Commitments& computed,
                                              const std::optional<Digest>& referee,
                                              const std::optional<Digest>& player1,
                                              const std::optional<Digest>& player2);

}  // namespace saberline::fair
