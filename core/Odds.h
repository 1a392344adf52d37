// Exact odds of a duel under fair, independent dice: who wins, how often
// both fall, how often the duel stays undecided, and how long it lasts.
#pragma once

#include <array>
#include <string>

#include "Duel.h"

namespace saberline {

struct DuelOdds {
    std::string ErrorText;  // the duel screen's message for a refused request; empty otherwise
    double duellist1 = 0;   // duellist 1 wins
    double duellist2 = 0;   // duellist 2 wins
    double bothFell = 0;    // both fall in the same move
    double undecided = 0;   // both stand after move 100
    double expectedMoves = 0;
};

// The same validation and scheme checks as the duel button; on refusal only
// ErrorText is set. Otherwise the four probabilities sum to 1.
DuelOdds ComputeOdds(const DuelRequest& request);

// The odds of a duel between two records as PrepareDuel builds them (health
// at least 1; for cold-weapon and mixed duels, expanded schemes of digits 1
// to 6). Every die is 1 to 6 with chance 1/6, independently of every other.
//
// Each move's damage comes from ResolveShot / ResolveStrike exactly as the
// duel button computes it; healths are then lowered in 64-bit arithmetic, so
// nothing wraps, and a health of 0 or less ends the duel. Within the four
// characters of the screen's fields (at most 9999) no 32-bit value comes near
// wrapping and the odds are those of the duel button. For larger numbers
// typed past the screen's limits (points of 2^30 or more) the duel button's
// 32-bit arithmetic can wrap while these odds do not.
//
// Throws std::invalid_argument for a health below 1, and EConvertError like
// the duel button when a cold move finds no digit in a scheme.
DuelOdds ComputeOdds(const Duellist& d1, const Duellist& d2, DuelType type);

// How the odds are shown: a chance as a percentage with one decimal and a
// space before the sign ("45.3 %"), the expected moves with one decimal.
std::string PercentText(double probability);
std::string MovesText(double moves);

// The five figures of the odds, in the order every shell shows them: the
// page's element and caption, saberline-cli's JSON key and English label,
// the value, and whether it is a number of moves (MovesText) or a chance
// (PercentText).
struct OddsFigure {
    const char* control;
    const char* pageLabel;
    const char* key;
    const char* label;
    double DuelOdds::*value;
    bool moves;
};
extern const std::array<OddsFigure, 5> kOddsFigures;
// The figure as shown: "45.3 %", or "12.5" for the expected moves.
std::string FigureText(const OddsFigure& figure, const DuelOdds& odds);

}  // namespace saberline
