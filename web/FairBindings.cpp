// The fair duel's road into the core from the page. The page's script does
// the cryptography with the browser's Web Crypto (a random secret, SHA-256,
// HMAC-SHA-256, all asynchronous); everything else is the core's: the
// messages to sign, the readings taken from the signatures, the duel, the
// verification link and its check, and every text the page shows.
//
// Bytes travel as Uint8Array. Every binding returns an object; a refusal
// comes back as { message: text } with the text to show, a request the rules
// refuse as { message: '', refused: the duel screen's message }.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
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
#include "PageFields.h"
#include "Texts.h"

using emscripten::val;

namespace {

using namespace saberline;

val Bytes(const std::uint8_t* data, std::size_t size) {
    return val::global("Uint8Array").new_(emscripten::typed_memory_view(size, data));
}
val Bytes(const std::string& bytes) {
    return Bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

val MessageOnly(const std::string& message) {
    val result = val::object();
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
    return texts::kFairLinkBad + why;
}

// No fair duel for the referee's inputs: the text that refuses them, or
// (`byTheRules`) the duel screen's message by which the rules refuse the
// request, which takes no readings and gives no link.
struct NoDuel {
    std::string message;
    bool byTheRules = false;
};
std::variant<fair::FairDuel, NoDuel> DuelOf(const std::string& secretHex, const std::string& word1,
                                            const std::string& word2, const val& fields) {
    fair::FairDuel duel;
    const auto secret = fair::Hex32(secretHex);
    if (!secret) return NoDuel{texts::kFairSecretBad};
    duel.secret = *secret;
    if (std::string refusal = WordRefusal(texts::kFairWordOwner1, fair::CheckWord(word1)); !refusal.empty())
        return NoDuel{std::move(refusal)};
    if (std::string refusal = WordRefusal(texts::kFairWordOwner2, fair::CheckWord(word2)); !refusal.empty())
        return NoDuel{std::move(refusal)};
    duel.word1 = word1;
    duel.word2 = word2;
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
    auto canonical = fair::Canonicalise(request);
    if (auto* message = std::get_if<std::string>(&canonical)) return NoDuel{std::move(*message), true};
    duel.duel = std::get<fair::CanonicalDuel>(canonical);
    return duel;
}

val NoDuelObject(const NoDuel& none) {
    if (!none.byTheRules) return MessageOnly(none.message);
    val result = val::object();
    result.set("message", std::string());
    result.set("refused", none.message);
    return result;
}

// What the page signs: the secret (the HMAC key) and the 100 messages.
val ToSign(const fair::FairDuel& duel) {
    val result = val::object();
    result.set("message", std::string());
    result.set("secret", Bytes(duel.secret.data(), duel.secret.size()));
    val messages = val::array();
    const std::string prefix = fair::MessagePrefix(duel);
    for (int n = 1; n <= fair::kReseeds; ++n)
        messages.call<void>("push", Bytes(fair::ReseedMessage(prefix, static_cast<std::uint32_t>(n))));
    result.set("messages", messages);
    return result;
}

// The readings from the page's 100 signatures (Uint8Array of 32 bytes each).
std::optional<fair::Readings> ReadingsOf(const val& macs) {
    if (!macs.isArray() || macs["length"].as<int>() != fair::kReseeds) return std::nullopt;
    fair::Readings readings{};
    for (int n = 0; n < fair::kReseeds; ++n) {
        const std::vector<std::uint8_t> mac = emscripten::convertJSArrayToNumberVector<std::uint8_t>(macs[n]);
        if (mac.size() != fair::kDigestBytes) return std::nullopt;
        readings[static_cast<std::size_t>(n)] = fair::ReadingFromMac(std::span<const std::uint8_t, 32>(mac.data(), 32));
    }
    return readings;
}

val HexReadings(const fair::Readings& readings) {
    val list = val::array();
    for (const std::uint64_t reading : readings) {
        std::array<std::uint8_t, 8> bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(reading >> (56 - 8 * i));
        list.call<void>("push", fair::ToHex(bytes));
    }
    return list;
}

val ScreenTexts(const DuelScreenTexts& shown) {
    val texts = val::object();
    texts.set("InfoBM1", shown.InfoBM1);
    texts.set("InfoBM2", shown.InfoBM2);
    texts.set("ErrorText", shown.ErrorText);
    return texts;
}

// --- Bindings ---------------------------------------------------------------

val FairFacts() {
    val facts = val::object();
    facts.set("linkPrefix", std::string(fair::kLinkPrefix));
    facts.set("secretBytes", static_cast<int>(fair::kSecretBytes));
    facts.set("noCrypto", std::string(texts::kFairNoCrypto));
    return facts;
}

std::string FairHex(val bytes) {
    const std::vector<std::uint8_t> data = emscripten::convertJSArrayToNumberVector<std::uint8_t>(bytes);
    return fair::ToHex(data);
}

// The secret typed or pasted by the referee, as bytes for its commitment.
val FairReadSecret(std::string secretHex) {
    const auto secret = fair::Hex32(secretHex);
    if (!secret) return MessageOnly(texts::kFairSecretBad);
    val result = val::object();
    result.set("message", std::string());
    result.set("secret", Bytes(secret->data(), secret->size()));
    return result;
}

// What to sign for the referee's inputs; { message } when they are refused,
// { message: '', refused } when the rules refuse the request.
val FairToSign(std::string secretHex, std::string word1, std::string word2, val fields) {
    auto duel = DuelOf(secretHex, word1, word2, fields);
    if (const auto* none = std::get_if<NoDuel>(&duel)) return NoDuelObject(*none);
    return ToSign(std::get<fair::FairDuel>(duel));
}

// The fair duel fought with the readings of the page's signatures: the
// three texts, the verification link's fragment and the readings.
val FairDuel(std::string secretHex, std::string word1, std::string word2, val fields, val macs) {
    auto parsed = DuelOf(secretHex, word1, word2, fields);
    if (const auto* none = std::get_if<NoDuel>(&parsed)) return NoDuelObject(*none);
    const fair::FairDuel& duel = std::get<fair::FairDuel>(parsed);
    const std::optional<fair::Readings> readings = ReadingsOf(macs);
    if (!readings) return MessageOnly(texts::kFairNoCrypto);
    val result = ScreenTexts(fair::RunFairDuel(duel.duel, *readings));
    result.set("message", std::string());
    result.set("fragment", fair::LinkFragment(duel));
    result.set("readings", HexReadings(*readings));
    return result;
}

// A verification link's fragment read: what to sign and what it names.
val FairReadLink(std::string fragment) {
    auto parsed = fair::ParseVerification(fragment);
    if (const auto* refusal = std::get_if<fair::VerificationRefusal>(&parsed))
        return MessageOnly(LinkRefusal(*refusal));
    const fair::FairDuel& duel = std::get<fair::FairDuel>(parsed);
    val result = ToSign(duel);
    result.set("word1", duel.word1);
    result.set("word2", duel.word2);
    result.set("fields", web::WriteDuelRequest(fair::CanonicalRequest(duel.duel)));
    result.set("verdict", std::string(texts::kFairEnterCommitment));
    return result;
}

// The check of a verification link against what was posted in the thread:
// the commitment, the two logs and the message. A refusal ({ message }) when
// the commitment is missing or malformed, or when it agrees but no log was
// given yet.
val FairCheck(std::string fragment, val secretSha256, val macs, val posted) {
    auto parsed = fair::ParseVerification(fragment);
    if (const auto* refusal = std::get_if<fair::VerificationRefusal>(&parsed))
        return MessageOnly(LinkRefusal(*refusal));
    const fair::FairDuel& duel = std::get<fair::FairDuel>(parsed);
    const std::vector<std::uint8_t> hash = emscripten::convertJSArrayToNumberVector<std::uint8_t>(secretSha256);
    const std::optional<fair::Readings> readings = ReadingsOf(macs);
    if (hash.size() != fair::kDigestBytes || !readings) return MessageOnly(texts::kFairNoCrypto);
    fair::Commitments computed;  // the players' commitments are not checked on the page yet
    std::copy(hash.begin(), hash.end(), computed.referee.begin());

    auto text = [&](const char* key) { return posted[key].isString() ? posted[key].as<std::string>() : std::string(); };
    if (text("commitment").empty()) return MessageOnly(texts::kFairEnterCommitment);
    const auto commitment = fair::Hex32(text("commitment"));
    if (!commitment) return MessageOnly(texts::kFairCommitmentBad);
    fair::Posted thread;
    thread.commitment = *commitment;
    thread.texts = {text("InfoBM1"), text("InfoBM2"), text("ErrorText")};
    const bool logsGiven = !thread.texts.InfoBM1.empty() || !thread.texts.InfoBM2.empty() ||
                           !thread.texts.ErrorText.empty();

    fair::FairCheck check = fair::CheckFairDuel(duel, computed, *readings, thread);
    // Without the posted logs only the commitment can be compared: the duel
    // is then neither verified nor shown.
    const bool commitmentAgrees =
        std::find(check.differs.begin(), check.differs.end(), "commitment") == check.differs.end();
    if (!logsGiven && commitmentAgrees) return MessageOnly(texts::kFairEnterLogs);
    if (!logsGiven) check.differs = {"commitment"};

    std::string verdict;
    if (check.Verified()) {
        verdict = texts::kFairVerified;
    } else {
        verdict = texts::kFairNotVerified;
        for (std::size_t i = 0; i < check.differs.size(); ++i) {
            const std::string& name = check.differs[i];
            if (i > 0) verdict += ", ";
            verdict += name == "commitment"    ? texts::kFairDiffersCommitment
                       : name == "commitment1" ? texts::kFairDiffersCommitment1
                       : name == "commitment2" ? texts::kFairDiffersCommitment2
                       : name == "InfoBM1"     ? texts::kFairDiffersInfoBM1
                       : name == "InfoBM2"     ? texts::kFairDiffersInfoBM2
                                               : texts::kFairDiffersErrorText;
        }
        verdict += '.';
    }
    val result = val::object();
    result.set("message", std::string());
    result.set("verified", check.Verified());
    result.set("verdict", verdict);
    result.set("commitment", fair::ToHex(computed.referee));
    val differs = val::array();
    for (const std::string& name : check.differs) differs.call<void>("push", name);
    result.set("differs", differs);
    // The replayed duel only when it verified: a link that does not verify
    // never hands its logs to the page.
    if (check.Verified()) result.set("replayed", ScreenTexts(check.replayed));
    result.set("readings", HexReadings(*readings));
    return result;
}

}  // namespace

EMSCRIPTEN_BINDINGS(saberline_fair) {
    emscripten::function("fairFacts", &FairFacts);
    emscripten::function("fairHex", &FairHex);
    emscripten::function("fairReadSecret", &FairReadSecret);
    emscripten::function("fairToSign", &FairToSign);
    emscripten::function("fairDuel", &FairDuel);
    emscripten::function("fairReadLink", &FairReadLink);
    emscripten::function("fairCheck", &FairCheck);
}
