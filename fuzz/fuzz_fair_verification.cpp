// Fuzz target: reading a fair duel's verification text, which arrives from
// a forum post or a link that anyone can edit.
//
// Input: the text itself.
//
// Checked: no crash, no undefined behaviour; a refusal names at most 40
// bytes of printable ASCII; an accepted text is exactly the text that
// FormatVerification writes for its duel (one text per duel), its words and
// salts are well formed, and its request is the canonical request of the
// duel it names, which the rules accept.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "Fair.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
    std::fprintf(stderr, "fuzz_fair_verification: %s\n%.*s\n", what, static_cast<int>(text.size()),
                 text.data());
    std::abort();
}

// The verification proper: after the link's "#fair:" or "fair:", if any.
std::string_view Verification(std::string_view text) {
    const std::string_view prefix = saberline::fair::kLinkPrefix;
    if (text.substr(0, prefix.size()) == prefix) return text.substr(prefix.size());
    const std::size_t hash = text.find("#" + std::string(prefix));
    return hash == std::string_view::npos ? text : text.substr(hash + 1 + prefix.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fair = saberline::fair;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = fair::ParseVerification(text);
    if (const auto* refusal = std::get_if<fair::VerificationRefusal>(&parsed)) {
        if (refusal->item.size() > 40) Fail("refusal names more than 40 bytes", refusal->item);
        for (const char c : refusal->item)
            if (c < ' ' || c >= 0x7F) Fail("refusal names a byte that is not printable ASCII", refusal->item);
        if ((refusal->problem == fair::VerificationProblem::RequestRefused) == refusal->message.empty())
            Fail("a refused request without its message, or a message without one", text);
        return 0;
    }
    const fair::FairDuel& duel = std::get<fair::FairDuel>(parsed);
    if (fair::FormatVerification(duel) != Verification(text))
        Fail("accepted a text other than its own", text);
    if (fair::CheckWord(duel.word1) != fair::WordProblem::None ||
        fair::CheckWord(duel.word2) != fair::WordProblem::None)
        Fail("accepted a word the rules refuse", text);
    const auto again = fair::Canonicalise(fair::CanonicalRequest(duel.duel));
    if (!std::holds_alternative<fair::CanonicalDuel>(again) ||
        std::get<fair::CanonicalDuel>(again) != duel.duel)
        Fail("the canonical request is not its own duel", text);
    return 0;
}
