// Fuzz target: what saberline-cli reads on standard input for `odds`, the
// fair commands that read it (`fair commit`, `fair check-secret`, `fair
// duel`, `fair verify`) and `duel --bbcode`, run through RunCli as the
// program runs it.
//
// Input: the first byte chooses the command line (kCommandLines); the rest
// is standard input.
//
// Checked for every command, whatever its output means: the streams rule of
// CliStreams.h (status, one printable complaint, nothing mixed), and that a
// finished run printed one JSON object, read by the page's own JSON reader.
// For `odds --json` also: the four chances each within [0, 1] and summing to
// 1, the expected moves within [1, 100], and for duels small enough (both
// healths at most 30) every figure equal within 1e-9 to the odds worked out
// here by another method: the joint distribution of both healths pushed move
// by move through the move rules read again (DuelReference.h), over all 36
// pairs of dice, where the core pushes each duellist's health separately.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "CliStreams.h"
#include "DuelReference.h"
#include "Odds.h"

namespace {

using saberline::DuelRequest;
using saberline::DuelType;
using namespace saberline::fuzz;

constexpr const char* kTarget = "fuzz_cli_stdin";
constexpr const char* kSecret = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
constexpr const char* kSalt = "ffeeddccbbaa99887766554433221100ffeeddccbbaa99887766554433221100";

// The command lines standard input is read under; the fair commands with
// commitments that the secret, words and salts above may or may not open.
const std::vector<std::vector<std::string>> kCommandLines = {
    {"odds", "--json"},
    {"odds"},
    {"fair", "verify"},
    {"fair", "duel", "--secret", kSecret, "--word1", "17", "--word2", "4096"},
    {"fair", "duel", "--secret", kSecret, "--word1", "1", "--word2", "2", "--salt1", kSalt, "--commitment1", kSalt,
     "--commitment", kSecret},
    {"fair", "commit"},
    {"fair", "check-secret", "--secret", kSecret, "--commitment", kSalt},
    {"duel", "--bbcode", "--clock", "1,2,3", "--address", "https://forum.example/files/saberline.html"},
};

struct ReferenceOdds {
    double duellist1 = 0, duellist2 = 0, bothFell = 0, undecided = 0, expectedMoves = 0;
};

// The odds of a duel whose healths are at most kLargest, from the joint
// distribution of both healths; nullopt for a larger duel.
constexpr std::int64_t kLargest = 30;
std::optional<ReferenceOdds> SmallDuelOdds(const DuelRequest& request) {
    const Values v[2] = {ReadValues(request.duellists[0], request.type),
                         ReadValues(request.duellists[1], request.type)};
    const std::int64_t h1 = v[0].health, h2 = v[1].health;
    if (h1 < 1 || h2 < 1 || h1 > kLargest || h2 > kLargest) return std::nullopt;
    const auto width = static_cast<std::size_t>(h2 + 1);
    auto at = [&](std::int64_t a, std::int64_t b) { return static_cast<std::size_t>(a) * width + static_cast<std::size_t>(b); };
    std::vector<double> standing(static_cast<std::size_t>(h1 + 1) * width, 0.0);
    standing[at(h1, h2)] = 1.0;
    ReferenceOdds odds;
    for (int n = 1; n <= 100; ++n) {
        std::vector<double> next(standing.size(), 0.0);
        double reached = 0;
        // What each die of each duellist deals this move.
        std::array<std::int64_t, 7> to2{}, to1{};
        for (int die = 1; die <= 6; ++die) {
            if (PistolMove(request.type, n)) {
                to2[die] = ShotDamage(die, v[0], v[1]);
                to1[die] = ShotDamage(die, v[1], v[0]);
            } else {
                const bool parried2 = ParryOf(SchemeAt(v[0].scheme, n), v[1]) != 0;
                const bool parried1 = ParryOf(SchemeAt(v[1].scheme, n), v[0]) != 0;
                to2[die] = StrikeDamage(die, parried2, v[0], v[1]);
                to1[die] = StrikeDamage(die, parried1, v[1], v[0]);
            }
        }
        for (std::int64_t a = 1; a <= h1; ++a)
            for (std::int64_t b = 1; b <= h2; ++b) {
                const double p = standing[at(a, b)];
                if (p == 0) continue;
                reached += p;
                for (int die1 = 1; die1 <= 6; ++die1)
                    for (int die2 = 1; die2 <= 6; ++die2) {
                        const std::int64_t left1 = a - to1[die2], left2 = b - to2[die1];
                        const double q = p / 36;
                        if (left1 <= 0 && left2 <= 0) odds.bothFell += q;
                        else if (left2 <= 0) odds.duellist1 += q;
                        else if (left1 <= 0) odds.duellist2 += q;
                        else next[at(left1, left2)] += q;
                    }
            }
        odds.expectedMoves += reached;
        standing.swap(next);
    }
    for (const double p : standing) odds.undecided += p;
    return odds;
}

// The request as saberline-cli read it: JSON of field texts and a duel type
// (a text it accepted, so none is missing or of the wrong kind).
DuelRequest RequestOf(const std::string& input) {
    const nlohmann::json object = nlohmann::json::parse(input);
    DuelRequest request = DuelRequest::StartUp();
    for (const auto& item : object.items()) {
        if (item.key() == "TypeBattle") request.type = static_cast<DuelType>(item.value().get<int>());
        else if (const saberline::DuelField* field = saberline::FindDuelField(item.key()))
            saberline::FieldText(request, *field) = item.value().get<std::string>();
    }
    return request;
}

void CheckOdds(const std::vector<std::string>& args, const CliRun& run, const std::string& input) {
    const saberline::web::Value result = JsonLine(kTarget, args, run);
    if (!result["ErrorText"].isString()) Fail(kTarget, "the odds lack their message line", args, run);
    if (!result["ErrorText"].text().empty()) return;
    double sum = 0;
    ReferenceOdds shown;
    for (const saberline::OddsFigure& figure : saberline::kOddsFigures) {
        const saberline::web::Value value = result[figure.key];
        if (!value.isNumber()) Fail(kTarget, "a figure of the odds is not a number", args, run);
        const double x = value.number();
        if (figure.value == &saberline::DuelOdds::expectedMoves) {
            if (!(x >= 1 - 1e-9 && x <= 100 + 1e-9)) Fail(kTarget, "the expected moves are not 1 to 100", args, run);
            shown.expectedMoves = x;
            continue;
        }
        if (!(x >= -1e-12 && x <= 1 + 1e-12)) Fail(kTarget, "a chance is not within [0, 1]", args, run);
        sum += x;
        if (figure.value == &saberline::DuelOdds::duellist1) shown.duellist1 = x;
        if (figure.value == &saberline::DuelOdds::duellist2) shown.duellist2 = x;
        if (figure.value == &saberline::DuelOdds::bothFell) shown.bothFell = x;
        if (figure.value == &saberline::DuelOdds::undecided) shown.undecided = x;
    }
    if (std::abs(sum - 1) > 1e-9) Fail(kTarget, "the four chances do not sum to 1", args, run);
    const std::optional<ReferenceOdds> reference = SmallDuelOdds(RequestOf(input));
    if (!reference) return;
    const std::pair<double, double> pairs[] = {{shown.duellist1, reference->duellist1},
                                               {shown.duellist2, reference->duellist2},
                                               {shown.bothFell, reference->bothFell},
                                               {shown.undecided, reference->undecided},
                                               {shown.expectedMoves / 100, reference->expectedMoves / 100}};
    for (const auto& [got, expected] : pairs)
        if (std::abs(got - expected) > 1e-9) Fail(kTarget, "the odds differ from the joint distribution's", args, run);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::vector<std::string>& args = kCommandLines[data[0] % kCommandLines.size()];
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    const CliRun run = RunCliOn(args, input);
    // The fair commands' "does not verify".
    const bool fair = args[0] == "fair";
    CheckStreams(kTarget, args, run, fair && args[1] != "commit");
    if (run.status >= 2) return 0;
    if (args[0] == "odds" && args.size() == 2) CheckOdds(args, run, input);
    else if (fair) JsonLine(kTarget, args, run);
    return 0;
}
