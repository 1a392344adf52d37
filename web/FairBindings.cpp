// The fair duel's road into the core from the page. The page's script does
// the cryptography with the browser's Web Crypto (random secrets, salts and
// words, SHA-256, HMAC-SHA-256, all asynchronous); everything else is the
// core's: the messages to hash and sign, the commitments' checks, the
// readings taken from the signatures, the duel, the verification link and
// its check, and every text the page shows.
//
// Bytes travel as Uint8Array on the script's side (web/Value.h). Every
// binding returns an object; a refusal
// comes back as { message: text } with the text to show, a request the rules
// refuse as { message: '', refused: the duel screen's message }.

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Duel.h"
#include "Fair.h"
#include "Call.h"
#include "PageFields.h"
#include "Texts.h"

using saberline::web::Value;

namespace {

using namespace saberline;

Value Bytes(const std::uint8_t* data, std::size_t size) {
    return Value::bytes(std::string(reinterpret_cast<const char*>(data), size));
}
Value Bytes(const std::string& bytes) {
    return Bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

Value MessageOnly(const std::string& message) {
    Value result = Value::object();
    result.set("message", message);
    return result;
}

// A text of core/Texts.h with each "%s" replaced by the next of `parts`.
std::string Filled(std::string_view format, std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) {
        const std::size_t at = format.find("%s");
        if (at == std::string_view::npos) break;
        text.append(format.substr(0, at)).append(part);
        format.remove_prefix(at + 2);
    }
    return text.append(format);
}

std::string WordRefusal(const char* owner, fair::WordProblem problem) {
    std::string why;
    switch (problem) {
        case fair::WordProblem::None: return {};
        case fair::WordProblem::Empty: why = texts::kFairWordEmpty; break;
        case fair::WordProblem::NotAscii: why = texts::kFairWordNotAscii; break;
        case fair::WordProblem::NotDigit: why = texts::kFairWordNotDigit; break;
        case fair::WordProblem::LeadingZero: why = texts::kFairWordLeadingZero; break;
        case fair::WordProblem::TooLong:
            why = Filled(texts::kFairWordTooLong, {std::to_string(fair::kMaxWordDigits)});
            break;
    }
    return owner + why;
}

// Why a verification link is refused, in the page's language.
std::string LinkRefusal(const fair::VerificationRefusal& refusal) {
    using Problem = fair::VerificationProblem;
    const std::string_view item = refusal.item;
    std::string why;
    switch (refusal.problem) {
        case Problem::NotAVerification: why = texts::kFairLinkNotVerification; break;
        case Problem::WrongVersion: why = Filled(texts::kFairLinkWrongVersion, {item, fair::kVersion}); break;
        case Problem::WrongRules:
            why = Filled(texts::kFairLinkWrongRules, {item, std::to_string(kRulesVersion), fair::kVersion});
            break;
        case Problem::AddressHoldsVerification: why = texts::kFairLinkAddressHolds; break;
        case Problem::ItemWithoutEquals: why = Filled(texts::kFairLinkNoEquals, {item}); break;
        case Problem::UnknownItem: why = Filled(texts::kFairLinkUnknownItem, {item}); break;
        case Problem::RepeatedItem: why = Filled(texts::kFairLinkRepeatedItem, {item}); break;
        case Problem::BadCharacter: why = Filled(texts::kFairLinkBadCharacter, {item}); break;
        case Problem::MissingItem: why = Filled(texts::kFairLinkMissingItem, {item}); break;
        case Problem::SecretBad: why = texts::kFairLinkSecretBad; break;
        case Problem::SaltBad: why = Filled(texts::kFairLinkSaltBad, {item}); break;
        case Problem::WordBad:
            why = WordRefusal(item == fair::kWordKeys[0] ? texts::kFairWordOwner1 : texts::kFairWordOwner2,
                              refusal.word);
            break;
        case Problem::TypeBad: why = texts::kFairLinkTypeBad; break;
        case Problem::FieldBad: why = Filled(texts::kFairLinkFieldBad, {item}); break;
        case Problem::RequestRefused: why = texts::kFairLinkRequestRefused + refusal.message; break;
        case Problem::NotCanonical: why = Filled(texts::kFairLinkNotCanonical, {item}); break;
        case Problem::OutOfOrder: why = texts::kFairLinkOutOfOrder; break;
    }
    const bool otherVersion = refusal.problem == Problem::WrongVersion || refusal.problem == Problem::WrongRules;
    return (otherVersion ? texts::kFairLinkOtherVersion : texts::kFairLinkBad) + why;
}

// The names of `differs`, and of pasted texts, in the page's language,
// joined by commas.
std::string NamesOf(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty()) text += ", ";
        const DuelResult* result = FindDuelResult(name);
        text += result                  ? result->differsName
                : name == "commitment"  ? texts::kFairDiffersCommitment
                : name == "commitment1" ? texts::kFairDiffersCommitment1
                                        : texts::kFairDiffersCommitment2;
    }
    return text;
}

// The owners of the players' salts, the names of the players' commitments
// and of their hashes from the page, in the order of the words.
constexpr std::array<const char*, 2> kSaltOwners{texts::kFairSaltOwner1, texts::kFairSaltOwner2};
constexpr std::array<const char*, 2> kPlayerCommitments{"commitment1", "commitment2"};
constexpr std::array<const char*, 2> kPlayerHashes{"player1", "player2"};
std::optional<fair::Salt>& SaltOf(fair::FairDuel& duel, std::size_t k) { return k == 0 ? duel.salt1 : duel.salt2; }
const std::optional<fair::Salt>& SaltOf(const fair::FairDuel& duel, std::size_t k) {
    return k == 0 ? duel.salt1 : duel.salt2;
}

// No fair duel for the fight's inputs: the text that refuses them, or
// (`byTheRules`) the duel screen's message by which the rules refuse the
// request, which takes no readings and gives no link.
struct NoDuel {
    std::string message;
    bool byTheRules = false;
};

// The commitments posted in the thread as typed into the fight: the
// referee's (required) and each player's in play. A refusal's text when one
// is malformed or missing its pair.
struct PostedCommitments {
    fair::Digest referee{};
    std::array<std::optional<fair::Digest>, 2> players;
};

// The duel screen's request, every field a text the page's fields can show.
std::variant<DuelRequest, NoDuel> RequestOf(const Value& fields) {
    DuelRequest request = web::ReadDuelRequest(fields);
    for (const DuelField& field : kDuelFields) {
        switch (CheckFieldText(FieldText(request, field), static_cast<std::size_t>(field.maxLength), true)) {
            case TextProblem::None: break;
            case TextProblem::ZeroCharacter:
            case TextProblem::ControlCharacter: return NoDuel{Filled(texts::kFairFieldControl, {field.name})};
            case TextProblem::NotUtf8:
            case TextProblem::TooLong: return NoDuel{Filled(texts::kFairFieldBad, {field.name})};
        }
    }
    return request;
}

// The canonical duel of the duel screen, or why there is none.
std::variant<fair::CanonicalDuel, NoDuel> CanonicalOf(const Value& fields) {
    auto request = RequestOf(fields);
    if (auto* none = std::get_if<NoDuel>(&request)) return std::move(*none);
    auto canonical = fair::Canonicalise(std::get<DuelRequest>(request));
    if (auto* message = std::get_if<std::string>(&canonical)) return NoDuel{std::move(*message), true};
    return std::get<fair::CanonicalDuel>(canonical);
}

// The fight's inputs { secret, commitment, word1, salt1, commitment1, word2,
// salt2, commitment2 } (an empty salt or player's commitment is none) and
// the duel screen's fields. Nothing is trimmed: the page takes exactly what
// saberline-cli takes.
std::variant<fair::FairDuel, NoDuel> DuelOf(const Value& inputs, const Value& fields, PostedCommitments& posted) {
    fair::FairDuel duel;
    const std::string secretText = web::Text(inputs, "secret");
    if (secretText.empty()) return NoDuel{texts::kFairCommitFirst};
    const auto secret = fair::Hex32(secretText);
    if (!secret) return NoDuel{texts::kFairSecretBad};
    duel.secret = *secret;
    const std::string commitment = web::Text(inputs, "commitment");
    if (commitment.empty()) return NoDuel{texts::kFairRefereeCommitmentMissing};
    const auto referee = fair::Hex32(commitment);
    if (!referee) return NoDuel{Filled(texts::kFairCommitmentBad, {texts::kFairPostedCommitment})};
    posted.referee = *referee;
    const std::string word1 = web::Text(inputs, fair::kWordKeys[0]);
    const std::string word2 = web::Text(inputs, fair::kWordKeys[1]);
    if (std::string refusal = WordRefusal(texts::kFairWordOwner1, fair::CheckWord(word1)); !refusal.empty())
        return NoDuel{std::move(refusal)};
    if (std::string refusal = WordRefusal(texts::kFairWordOwner2, fair::CheckWord(word2)); !refusal.empty())
        return NoDuel{std::move(refusal)};
    duel.word1 = word1;
    duel.word2 = word2;
    constexpr std::array<const char*, 2> kPostedOwners{texts::kFairPostedCommitment1, texts::kFairPostedCommitment2};
    for (std::size_t k = 0; k < 2; ++k) {
        const std::string salt = web::Text(inputs, fair::kSaltKeys[k]);
        const std::string player = web::Text(inputs, kPlayerCommitments[k]);
        if (!salt.empty()) {
            const auto bytes = fair::Hex32(salt);
            if (!bytes) return NoDuel{Filled(texts::kFairSaltBad, {kSaltOwners[k]})};
            SaltOf(duel, k) = *bytes;
        }
        if (!player.empty()) {
            posted.players[k] = fair::Hex32(player);
            if (!posted.players[k]) return NoDuel{Filled(texts::kFairCommitmentBad, {kPostedOwners[k]})};
        }
        // A salt comes with its player's commitment, and only then.
        if (!salt.empty() && player.empty()) return NoDuel{Filled(texts::kFairSaltWithoutCommitment, {kSaltOwners[k]})};
        if (salt.empty() && !player.empty())
            return NoDuel{Filled(texts::kFairCommitmentWithoutSalt, {kPostedOwners[k]})};
    }
    auto canonical = CanonicalOf(fields);
    if (auto* none = std::get_if<NoDuel>(&canonical)) return std::move(*none);
    duel.duel = std::get<fair::CanonicalDuel>(canonical);
    return duel;
}

Value NoDuelObject(const NoDuel& none) {
    if (!none.byTheRules) return MessageOnly(none.message);
    Value result = Value::object();
    result.set("message", std::string());
    result.set("refused", none.message);
    // The duel screen as the duel button leaves it for this request.
    DuelScreenTexts shown;
    shown.ErrorText = none.message;
    result.set("shown", web::WriteScreenTexts(shown));
    return result;
}

// What the page signs and hashes: the secret (the HMAC key), the 100
// messages, the message whose SHA-256 is the referee's commitment, and for
// each salt the duel carries the message whose SHA-256 is that player's
// commitment (null for none).
Value ToSign(const fair::FairDuel& duel) {
    Value result = Value::object();
    result.set("message", std::string());
    result.set("secret", Bytes(duel.secret.data(), duel.secret.size()));
    Value messages = Value::array();
    const std::string prefix = fair::MessagePrefix(duel);
    for (int n = 1; n <= fair::kReseeds; ++n)
        messages.push(Bytes(fair::ReseedMessage(prefix, static_cast<std::uint32_t>(n))));
    result.set("messages", messages);
    result.set("refereeMessage", Bytes(fair::RefereeCommitmentMessage(duel.secret, duel.duel)));
    Value wordMessages = Value::array();
    const std::array<const std::string*, 2> words{&duel.word1, &duel.word2};
    for (std::size_t k = 0; k < 2; ++k) {
        const std::optional<fair::Salt>& salt = SaltOf(duel, k);
        wordMessages.push(salt ? Bytes(fair::WordCommitmentMessage(*salt, *words[k])) : Value::null());
    }
    result.set("wordMessages", wordMessages);
    return result;
}

// 32 bytes from the page (a Uint8Array), or nullopt.
std::optional<fair::Digest> DigestOf(const Value& bytes) {
    if (bytes.isNull() || bytes.isUndefined()) return std::nullopt;
    const std::optional<std::vector<std::uint8_t>> data = bytes.byteArray();
    if (!data || data->size() != fair::kDigestBytes) return std::nullopt;
    fair::Digest digest{};
    std::copy(data->begin(), data->end(), digest.begin());
    return digest;
}

// The readings from the page's 100 signatures (Uint8Array of 32 bytes each).
std::optional<fair::Readings> ReadingsOf(const Value& macs) {
    if (!macs.isArray() || static_cast<int>(macs.size()) != fair::kReseeds) return std::nullopt;
    fair::Readings readings{};
    for (int n = 0; n < fair::kReseeds; ++n) {
        const std::optional<fair::Digest> mac = DigestOf(macs[static_cast<std::size_t>(n)]);
        if (!mac) return std::nullopt;
        readings[static_cast<std::size_t>(n)] = fair::ReadingFromMac(*mac);
    }
    return readings;
}

Value HexReadings(const fair::Readings& readings) {
    Value list = Value::array();
    for (const std::uint64_t reading : readings) {
        std::array<std::uint8_t, 8> bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(reading >> (56 - 8 * i));
        list.push(fair::ToHex(bytes));
    }
    return list;
}

// Whether a text begins or ends with what a line of text does not show:
// spaces, tabs, line breaks.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool SurroundedBySpace(std::string_view text) {
    return !text.empty() && (IsSpace(text.front()) || IsSpace(text.back()));
}

// The commitments the page hashed, { referee, player1, player2 } (a player's
// only for the salts the duel carries), or nullopt when one is missing.
std::optional<fair::Commitments> HashesOf(const fair::FairDuel& duel, const Value& hashes) {
    const std::optional<fair::Digest> referee = DigestOf(hashes["referee"]);
    if (!referee) return std::nullopt;
    fair::Commitments computed;
    computed.referee = *referee;
    for (std::size_t k = 0; k < 2; ++k) {
        if (!SaltOf(duel, k)) continue;
        const std::optional<fair::Digest> player = DigestOf(hashes[kPlayerHashes[k]]);
        if (!player) return std::nullopt;
        (k == 0 ? computed.player1 : computed.player2) = player;
    }
    return computed;
}

Value CommitmentsObject(const fair::Commitments& computed) {
    Value result = Value::object();
    result.set("commitment", fair::ToHex(computed.referee));
    if (computed.player1) result.set("commitment1", fair::ToHex(*computed.player1));
    if (computed.player2) result.set("commitment2", fair::ToHex(*computed.player2));
    return result;
}

// --- Bindings ---------------------------------------------------------------

std::string FairHex(const Value& bytes) {
    return fair::ToHex(bytes.byteArray().value_or(std::vector<std::uint8_t>{}));
}

// Step 1, the referee: a fresh secret from the page and the duel screen as
// it stands. The secret in hexadecimal and the message whose SHA-256 is the
// commitment; { message } when the rules refuse the request, which no
// commitment binds.
Value FairCommit(const Value& fields, const Value& secretBytes) {
    auto canonical = CanonicalOf(fields);
    if (const auto* none = std::get_if<NoDuel>(&canonical))
        return MessageOnly(none->byTheRules ? texts::kFairCommitRefused + none->message : none->message);
    const std::optional<fair::Digest> secret = DigestOf(secretBytes);
    if (!secret) return MessageOnly(texts::kFairCryptoFailed);
    Value result = Value::object();
    result.set("message", std::string());
    result.set("secret", fair::ToHex(*secret));
    result.set("toHash", Bytes(fair::RefereeCommitmentMessage(*secret, std::get<fair::CanonicalDuel>(canonical))));
    return result;
}

// Step 2, anyone: the message whose SHA-256 the revealed secret and the
// duel screen give, to compare with the referee's posted commitment;
// { message } when either is malformed or the rules refuse the request.
Value FairSecretToHash(const Value& inputs, const Value& fields) {
    const std::string secretText = web::Text(inputs, "secret");
    if (secretText.empty()) return MessageOnly(texts::kFairCommitFirst);
    const auto secret = fair::Hex32(secretText);
    if (!secret) return MessageOnly(texts::kFairSecretBad);
    const std::string commitment = web::Text(inputs, "commitment");
    if (commitment.empty()) return MessageOnly(texts::kFairRefereeCommitmentMissing);
    if (!fair::Hex32(commitment)) return MessageOnly(Filled(texts::kFairCommitmentBad, {texts::kFairPostedCommitment}));
    auto canonical = CanonicalOf(fields);
    if (const auto* none = std::get_if<NoDuel>(&canonical))
        return MessageOnly(none->byTheRules ? texts::kFairCommitRefused + none->message : none->message);
    Value result = Value::object();
    result.set("message", std::string());
    result.set("toHash", Bytes(fair::RefereeCommitmentMessage(*secret, std::get<fair::CanonicalDuel>(canonical))));
    return result;
}

// Step 2's verdict: whether the page's hash is the posted commitment.
Value FairSecretVerdict(const std::string& commitment, const Value& hash) {
    const auto posted = fair::Hex32(commitment);
    const std::optional<fair::Digest> computed = DigestOf(hash);
    if (!posted || !computed) return MessageOnly(texts::kFairCryptoFailed);
    Value result = Value::object();
    result.set("message", std::string());
    result.set("verified", *posted == *computed);
    result.set("verdict", std::string(*posted == *computed ? texts::kFairSecretOpens : texts::kFairSecretDoesNotOpen));
    return result;
}

// A player's word drawn from 8 random bytes of the page.
Value FairDrawnWord(const Value& wordBytes) {
    const std::optional<std::vector<std::uint8_t>> bytes = wordBytes.byteArray();
    if (!bytes || bytes->size() != fair::kWordBytes) return MessageOnly(texts::kFairCryptoFailed);
    std::array<std::uint8_t, fair::kWordBytes> drawn{};
    std::copy(bytes->begin(), bytes->end(), drawn.begin());
    Value result = Value::object();
    result.set("message", std::string());
    result.set("word", fair::DrawnWord(drawn));
    return result;
}

// A player's commitment to their word with a fresh salt from the page: the
// word, the salt in hexadecimal and the message whose SHA-256 is the
// commitment; { message } when the word is refused.
Value FairPlayerCommitment(const std::string& word, const Value& saltBytes) {
    if (std::string refusal = WordRefusal(texts::kFairPlayerWordOwner, fair::CheckWord(word)); !refusal.empty())
        return MessageOnly(refusal);
    const std::optional<fair::Digest> salt = DigestOf(saltBytes);
    if (!salt) return MessageOnly(texts::kFairCryptoFailed);
    Value result = Value::object();
    result.set("message", std::string());
    result.set("word", word);
    result.set("salt", fair::ToHex(*salt));
    result.set("toHash", Bytes(fair::WordCommitmentMessage(*salt, word)));
    return result;
}

// Step 4: what to sign and hash for the fight's inputs; { message } when they
// are refused, { message: '', refused } when the rules refuse the request.
Value FairToSign(const Value& inputs, const Value& fields) {
    PostedCommitments posted;
    auto duel = DuelOf(inputs, fields, posted);
    if (const auto* none = std::get_if<NoDuel>(&duel)) return NoDuelObject(*none);
    return ToSign(std::get<fair::FairDuel>(duel));
}

// Step 4: the fair duel fought with the readings of the page's signatures,
// when the page's hashes open every commitment posted: the three texts, the
// verification link's fragment, the commitments and the readings; else
// { message } naming what does not open, and `differs`.
Value FairDuel(const Value& inputs, const Value& fields, const Value& macs, const Value& hashes) {
    PostedCommitments posted;
    auto parsed = DuelOf(inputs, fields, posted);
    if (const auto* none = std::get_if<NoDuel>(&parsed)) return NoDuelObject(*none);
    const fair::FairDuel& duel = std::get<fair::FairDuel>(parsed);
    const std::optional<fair::Readings> readings = ReadingsOf(macs);
    const std::optional<fair::Commitments> computed = HashesOf(duel, hashes);
    if (!readings || !computed) return MessageOnly(texts::kFairCryptoFailed);
    const std::vector<std::string> differs =
        fair::DifferingCommitments(duel, *computed, posted.referee, posted.players[0], posted.players[1]);
    if (!differs.empty()) {
        Value result = MessageOnly(Filled(texts::kFairDuelNotOpened, {NamesOf(differs)}));
        Value names = Value::array();
        for (const std::string& name : differs) names.push(name);
        result.set("differs", names);
        return result;
    }
    Value result = web::WriteScreenTexts(fair::RunFairDuel(duel.duel, *readings));
    result.set("message", std::string());
    result.set("fragment", fair::LinkFragment(duel));
    result.set("commitments", CommitmentsObject(*computed));
    result.set("plainWords", !duel.salt1 && !duel.salt2);
    result.set("readings", HexReadings(*readings));
    return result;
}

// Whether a text opened or pasted is the fair duel's to read rather than a
// duel link: it is, or tries to be, a verification (its link, its fragment
// or its text), spaces around it aside. It is then read exactly as given.
bool FairClaims(const std::string& text) {
    const std::string_view prefix = fair::kLinkPrefix;
    std::string_view trimmed = text;
    while (!trimmed.empty() && IsSpace(trimmed.front())) trimmed.remove_prefix(1);
    return trimmed.substr(0, prefix.size()) == prefix || text.find("#" + std::string(prefix)) != std::string::npos ||
           trimmed.substr(0, fair::VersionFamily().size()) == fair::VersionFamily();
}

// A verification link read: what to sign and hash, and what it names.
Value FairReadLink(const std::string& text) {
    auto parsed = fair::ParseVerification(text);
    if (const auto* refusal = std::get_if<fair::VerificationRefusal>(&parsed))
        return MessageOnly(LinkRefusal(*refusal) + (SurroundedBySpace(text) ? texts::kFairLinkSpaces : ""));
    const fair::FairDuel& duel = std::get<fair::FairDuel>(parsed);
    Value result = ToSign(duel);
    result.set("word1", duel.word1);
    result.set("word2", duel.word2);
    result.set("fields", web::WriteDuelRequest(fair::CanonicalRequest(duel.duel)));
    result.set("fragment", fair::LinkFragment(duel));
    result.set("verdict", std::string(texts::kFairEnterCommitment));
    return result;
}

// The check of a verification link against what was posted in the thread:
// `hashes` { referee, player1, player2 } are the SHA-256 of the referee's
// and of each player's message the link gives; `posted` holds the
// commitment, the players' commitments (empty when not posted), the two
// logs and the message, `cleaned`, the names of the pasted texts from which
// the page left out what copying adds, and `mistaken`, those that hold more
// than one log. A refusal ({ message }) when a commitment is malformed, a
// log pasted by mistake, or when the commitments agree but no log was given
// yet.
Value FairCheck(const std::string& text, const Value& hashes, const Value& macs, Value posted) {
    auto parsed = fair::ParseVerification(text);
    if (const auto* refusal = std::get_if<fair::VerificationRefusal>(&parsed))
        return MessageOnly(LinkRefusal(*refusal));
    const fair::FairDuel& duel = std::get<fair::FairDuel>(parsed);
    const std::optional<fair::Readings> readings = ReadingsOf(macs);
    const std::optional<fair::Commitments> computed = HashesOf(duel, hashes);
    if (!readings || !computed) return MessageOnly(texts::kFairCryptoFailed);

    auto names = [&](const char* key) {
        std::vector<std::string> list;
        const Value items = posted[key];
        if (items.isArray())
            for (std::size_t i = 0; i < items.size(); ++i) list.push_back(items[i].text());
        return list;
    };
    if (const std::vector<std::string> mistaken = names("mistaken"); !mistaken.empty())
        return MessageOnly(Filled(texts::kFairPastedManyLogs, {NamesOf(mistaken)}));

    const std::string commitment = web::Text(posted, "commitment");
    if (commitment.empty()) return MessageOnly(texts::kFairEnterCommitment);
    fair::Posted thread;
    if (const auto digest = fair::Hex32(commitment)) thread.commitment = *digest;
    else return MessageOnly(Filled(texts::kFairCommitmentBad, {texts::kFairPostedCommitment}));
    // A player's commitment is in play when pasted; one the link has a salt
    // for and that was not pasted differs, and the verdict says why.
    constexpr std::array<const char*, 2> kPostedOwners{texts::kFairPostedCommitment1, texts::kFairPostedCommitment2};
    std::vector<std::string> notPosted;
    for (std::size_t k = 0; k < 2; ++k) {
        const std::string player = web::Text(posted, kPlayerCommitments[k]);
        std::optional<fair::Digest>& into = k == 0 ? thread.commitment1 : thread.commitment2;
        if (player.empty()) {
            if (SaltOf(duel, k)) notPosted.emplace_back(kPlayerCommitments[k]);
            continue;
        }
        into = fair::Hex32(player);
        if (!into) return MessageOnly(Filled(texts::kFairCommitmentBad, {kPostedOwners[k]}));
    }
    thread.texts = web::ReadScreenTexts(posted);
    const bool logsGiven = !NothingShown(thread.texts);

    fair::FairCheck check = fair::CheckFairDuel(duel, *computed, *readings, thread);
    // Without the posted logs only the commitments can be compared: the duel
    // is then neither verified nor shown.
    if (!logsGiven) {
        std::erase_if(check.differs, [](const std::string& name) { return name.rfind("commitment", 0) != 0; });
        if (check.differs.empty()) return MessageOnly(texts::kFairEnterLogs);
    }

    std::string verdict;
    if (check.Verified()) {
        verdict = texts::kFairVerified;
        if (thread.commitment1 || thread.commitment2) verdict += texts::kFairVerifiedPlayers;
    } else {
        verdict = texts::kFairNotVerified + NamesOf(check.differs) + '.';
    }
    if (!notPosted.empty()) verdict += Filled(texts::kFairSaltNotPosted, {NamesOf(notPosted)});
    const std::vector<std::string> cleaned = names("cleaned");

    Value result = Value::object();
    result.set("message", std::string());
    result.set("verified", check.Verified());
    result.set("verdict", verdict);
    result.set("note", cleaned.empty() ? std::string() : Filled(texts::kFairPastedCleaned, {NamesOf(cleaned)}));
    Value differs = Value::array();
    for (const std::string& name : check.differs) differs.push(name);
    result.set("differs", differs);
    // The replayed duel only when it verified: a link that does not verify
    // never hands its logs to the page.
    if (check.Verified()) {
        result.set("replayed", web::WriteScreenTexts(check.replayed));
        result.set("commitments", CommitmentsObject(*computed));
    }
    result.set("readings", HexReadings(*readings));
    return result;
}

const web::Binding kFairBindingTable[] = {
    {"fairHex", web::Bind<&FairHex>},
    {"fairCommit", web::Bind<&FairCommit>},
    {"fairSecretToHash", web::Bind<&FairSecretToHash>},
    {"fairSecretVerdict", web::Bind<&FairSecretVerdict>},
    {"fairDrawnWord", web::Bind<&FairDrawnWord>},
    {"fairPlayerCommitment", web::Bind<&FairPlayerCommitment>},
    {"fairToSign", web::Bind<&FairToSign>},
    {"fairDuel", web::Bind<&FairDuel>},
    {"fairClaims", web::Bind<&FairClaims>},
    {"fairReadLink", web::Bind<&FairReadLink>},
    {"fairCheck", web::Bind<&FairCheck>},
};

}  // namespace

namespace saberline::web {
const std::span<const Binding> kFairBindings(kFairBindingTable);
}  // namespace saberline::web
