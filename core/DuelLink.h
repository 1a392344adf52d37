// The duel link: one duel request and the clock readings its reseeds took,
// written as the part of a page address after '#', so that opening the link
// replays the same duel instead of throwing it again.
//
//   duel=1&BP1=30&OgnOr1=12&...&ShAtack2=&TypeBattle=2&clock=17,4,99&check=1a2b3c4d
//
// Every field of the duel request appears once, in the order of kDuelFields,
// its text percent-encoded as UTF-8; `clock` holds 1 to 100 readings as the
// --clock list does; `check` is the FNV-1a hash of everything before
// "&check=", in eight lowercase hexadecimal digits, so that a link cut short
// or damaged on its way is told apart from a good one.
//
// The check is no seal: anyone can write a link with readings of their
// choosing and its check. A duel link shows a duel again; it proves nothing
// about how its dice were thrown. A fair duel's verification is the proof
// (Fair.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Duel.h"
#include "Utf8.h"

namespace saberline {

struct DuelLink {
    DuelRequest request;
    std::vector<std::uint64_t> readings;
};

std::string WriteDuelLink(const DuelRequest& request, const std::vector<std::uint64_t>& readings);

// Why a link was refused: the first field whose text no field of the screen
// can show or hold (a control character such as a line break, which a field
// would drop while the replay kept it; not UTF-8; a zero character; longer
// than the field takes), or no field for any other fault.
struct DuelLinkRefusal {
    const DuelField* field = nullptr;
    TextProblem problem = TextProblem::None;
};

// nullopt for anything that is not a whole, unaltered link: a missing,
// unknown or repeated key, a text that a field cannot show (see above), a
// duel type other than 1, 2 or 3, a malformed clock list or one of more than
// 100 readings, a bad percent escape, a wrong check. `refusal`, when given,
// is told why.
std::optional<DuelLink> ReadDuelLink(std::string_view link, DuelLinkRefusal* refusal = nullptr);

// Percent-encoding of a text as UTF-8 bytes: letters, digits and - . _ ~
// stay, every other byte becomes %XX (uppercase hexadecimal).
std::string PercentEncode(std::string_view text);
// nullopt for a '%' not followed by two hexadecimal digits.
std::optional<std::string> PercentDecode(std::string_view text);

}  // namespace saberline
