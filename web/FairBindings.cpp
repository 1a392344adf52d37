// The fair duel's road into the core from the page. The page's script does
// the cryptography with the browser's Web Crypto (a random secret, SHA-256,
// HMAC-SHA-256, all asynchronous); everything else is the core's: the
// messages to sign, the readings taken from the signatures, the duel, the
// verification link and its check, and every text the page shows.
//
// Bytes travel as Uint8Array. Every binding returns an object; a refusal
// comes back as { message: text } with the text to show.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
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

val Refusal(const std::string& message) {
    val result = val::object();
    result.set("message", message);
    return result;
}

std::string WordRefusal(const char* owner, fair::WordProblem problem) {
    switch (problem) {
        case fair::WordProblem::None: break;
        case fair::WordProblem::Empty: return std::string(owner) + texts::kFairWordEmpty;
        case fair::WordProblem::TooLong: return std::string(owner) + texts::kFairWordTooLong;
        case fair::WordProblem::NotUtf8: return std::string(owner) + texts::kFairWordNotUtf8;
        case fair::WordProblem::ControlCharacter: return std::string(owner) + texts::kFairWordControl;
    }
    return {};
}

// The duel the referee's inputs name, or the text that refuses them.
std::variant<fair::FairDuel, std::string> DuelOf(const std::string& secretHex, const std::string& word1,
                                                  const std::string& word2, const val& fields) {
    fair::FairDuel duel;
    const auto secret = fair::Hex32(secretHex);
    if (!secret) return std::string(texts::kFairSecretBad);
    duel.secret = *secret;
    if (const std::string refusal = WordRefusal(texts::kFairWordOwner1, fair::CheckWord(word1)); !refusal.empty())
        return refusal;
    if (const std::string refusal = WordRefusal(texts::kFairWordOwner2, fair::CheckWord(word2)); !refusal.empty())
        return refusal;
    duel.word1 = word1;
    duel.word2 = word2;
    duel.request = web::ReadDuelRequest(fields);
    return duel;
}

// What the page signs: the secret (the HMAC key) and the 100 messages.
val ToSign(const fair::FairDuel& duel) {
    val result = val::object();
    result.set("message", std::string());
    result.set("secret", Bytes(duel.secret.data(), duel.secret.size()));
    val messages = val::array();
    for (int n = 1; n <= fair::kReseeds; ++n)
        messages.call<void>("push", Bytes(fair::ReseedMessage(duel, static_cast<std::uint32_t>(n))));
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
    if (!secret) return Refusal(texts::kFairSecretBad);
    val result = val::object();
    result.set("message", std::string());
    result.set("secret", Bytes(secret->data(), secret->size()));
    return result;
}

val FairToSign(std::string secretHex, std::string word1, std::string word2, val fields) {
    auto duel = DuelOf(secretHex, word1, word2, fields);
    if (const auto* refusal = std::get_if<std::string>(&duel)) return Refusal(*refusal);
    return ToSign(std::get<fair::FairDuel>(duel));
}

// The fair duel fought with the readings of the page's signatures: the
// three texts, the verification link's fragment and the readings.
val FairDuel(std::string secretHex, std::string word1, std::string word2, val fields, val macs) {
    auto parsed = DuelOf(secretHex, word1, word2, fields);
    if (const auto* refusal = std::get_if<std::string>(&parsed)) return Refusal(*refusal);
    const fair::FairDuel& duel = std::get<fair::FairDuel>(parsed);
    const std::optional<fair::Readings> readings = ReadingsOf(macs);
    if (!readings) return Refusal(texts::kFairNoCrypto);
    val result = ScreenTexts(fair::RunFairDuel(duel.request, *readings));
    result.set("message", std::string());
    result.set("fragment", fair::LinkFragment(duel));
    result.set("readings", HexReadings(*readings));
    return result;
}

// A verification link's fragment read: what to sign and what it names.
val FairReadLink(std::string fragment) {
    auto parsed = fair::ParseVerification(fragment);
    if (const auto* reason = std::get_if<std::string>(&parsed)) return Refusal(texts::kFairLinkBad + *reason);
    const fair::FairDuel& duel = std::get<fair::FairDuel>(parsed);
    val result = ToSign(duel);
    result.set("word1", duel.word1);
    result.set("word2", duel.word2);
    result.set("fields", web::WriteDuelRequest(duel.request));
    result.set("verdict", std::string(texts::kFairEnterCommitment));
    return result;
}

// The check of a verification link against what was posted in the thread:
// the commitment, the two logs and the message. A refusal ({ message }) when
// the commitment is missing or malformed, or when it agrees but no log was
// given yet.
val FairCheck(std::string fragment, val secretSha256, val macs, val posted) {
    auto parsed = fair::ParseVerification(fragment);
    if (const auto* reason = std::get_if<std::string>(&parsed)) return Refusal(texts::kFairLinkBad + *reason);
    const fair::FairDuel& duel = std::get<fair::FairDuel>(parsed);
    const std::vector<std::uint8_t> hash = emscripten::convertJSArrayToNumberVector<std::uint8_t>(secretSha256);
    const std::optional<fair::Readings> readings = ReadingsOf(macs);
    if (hash.size() != fair::kDigestBytes || !readings) return Refusal(texts::kFairNoCrypto);
    fair::Digest digest{};
    std::copy(hash.begin(), hash.end(), digest.begin());

    auto text = [&](const char* key) { return posted[key].isString() ? posted[key].as<std::string>() : std::string(); };
    if (text("commitment").empty()) return Refusal(texts::kFairEnterCommitment);
    const auto commitment = fair::Hex32(text("commitment"));
    if (!commitment) return Refusal(texts::kFairCommitmentBad);
    fair::Posted thread;
    thread.commitment = *commitment;
    thread.texts = {text("InfoBM1"), text("InfoBM2"), text("ErrorText")};
    const bool logsGiven = !thread.texts.InfoBM1.empty() || !thread.texts.InfoBM2.empty() ||
                           !thread.texts.ErrorText.empty();

    fair::FairCheck check = fair::CheckFairDuel(duel, digest, *readings, thread);
    // Without the posted logs only the commitment can be compared: the duel
    // is then neither verified nor shown.
    const bool commitmentAgrees =
        std::find(check.differs.begin(), check.differs.end(), "commitment") == check.differs.end();
    if (!logsGiven && commitmentAgrees) return Refusal(texts::kFairEnterLogs);
    if (!logsGiven) check.differs = {"commitment"};

    std::string verdict;
    if (check.Verified()) {
        verdict = texts::kFairVerified;
    } else {
        verdict = texts::kFairNotVerified;
        for (std::size_t i = 0; i < check.differs.size(); ++i) {
            const std::string& name = check.differs[i];
            if (i > 0) verdict += ", ";
            verdict += name == "commitment" ? texts::kFairDiffersCommitment
                       : name == "InfoBM1"  ? texts::kFairDiffersInfoBM1
                       : name == "InfoBM2"  ? texts::kFairDiffersInfoBM2
                                            : texts::kFairDiffersErrorText;
        }
        verdict += '.';
    }
    val result = val::object();
    result.set("message", std::string());
    result.set("verified", check.Verified());
    result.set("verdict", verdict);
    result.set("commitment", check.commitment);
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
