// Fuzz target: reading a fair duel's verification text, which arrives from
// a forum post or a link that anyone can edit.
//
// Input: the text itself.
//
// Checked: no crash, no undefined behaviour; a refusal is one line of
// printable ASCII; an accepted text names words and field texts that the
// rules allow, and writing it out again and reading that back gives the
// same duel (the same canonical request, words and secret) and the same text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "Fair.h"
#include "Utf8.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
    std::fprintf(stderr, "fuzz_fair_verification: %s\n%.*s\n", what, static_cast<int>(text.size()), text.data());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fair = saberline::fair;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = fair::ParseVerification(text);
    if (const auto* reason = std::get_if<std::string>(&parsed)) {
        if (reason->empty()) Fail("empty reason", text);
        for (const char c : *reason)
            if (c < ' ' || c >= 0x7F) Fail("reason is not one line of printable ASCII", *reason);
        return 0;
    }
    const fair::FairDuel& duel = std::get<fair::FairDuel>(parsed);
    if (!fair::WordFault(duel.word1).empty() || !fair::WordFault(duel.word2).empty())
        Fail("accepted a word the rules refuse", text);
    saberline::DuelRequest request = duel.request;
    for (const saberline::DuelField& field : saberline::kDuelFields)
        if (!saberline::FieldTextFault(saberline::FieldText(request, field),
                                       static_cast<std::size_t>(field.maxLength)).empty())
            Fail("accepted a field text the rules refuse", text);

    const std::string written = fair::FormatVerification(duel);
    const auto again = fair::ParseVerification(written);
    if (!std::holds_alternative<fair::FairDuel>(again)) Fail("own text refused", written);
    const fair::FairDuel& back = std::get<fair::FairDuel>(again);
    if (back.secret != duel.secret || back.word1 != duel.word1 || back.word2 != duel.word2 ||
        fair::CanonicalRequest(back.request) != fair::CanonicalRequest(duel.request))
        Fail("round trip changed the duel", written);
    if (fair::FormatVerification(back) != written) Fail("round trip changed the text", written);
    return 0;
}
