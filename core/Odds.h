// Exact odds of a duel under fair, independent dice: who wins, how often
// both fall, how often the duel stays undecided, and how long it lasts.
#pragma once

#include <array>
#include <string>

#include "Duel.h"

namespace saberline {

// How a duel stands by the end of one move: the chances that by then
// duellist 1 has won, duellist 2 has won, both have fallen in the same move,
// or neither has fallen (the duel goes on). They sum to 1.
struct MoveOdds {
    double duellist1 = 0;
    double duellist2 = 0;
    double bothFell = 0;
    double going = 0;
};

struct DuelOdds {
    std::string ErrorText;  // the duel screen's message for a refused request; empty otherwise
    double duellist1 = 0;   // duellist 1 wins
    double duellist2 = 0;   // duellist 2 wins
    double bothFell = 0;    // both fall in the same move
    double undecided = 0;   // both stand after move 100
    double expectedMoves = 0;
    // byMove[n - 1]: how the duel stands by the end of move n. The entry of
    // move 100 holds the first four figures, bit for bit.
    std::array<MoveOdds, kMaxMoves> byMove{};
};

// The same validation and scheme checks as the duel button; on refusal only
// ErrorText is set. Otherwise the four probabilities sum to 1.
DuelOdds ComputeOdds(const DuelRequest& request);

// The odds of a duel between two records as PrepareDuel builds them (health
// at least 1; for cold-weapon and mixed duels, expanded schemes of digits 1
// to 6). Every die is 1 to 6 with chance 1/6, independently of every other.
//
// Each move's damage comes from ResolveShot / ResolveStrike exactly as the
// duel button computes it, and a health of 0 or less ends the duel, as it
// does there. The duel button keeps a damage at most INT32_MAX and stops a
// health at INT32_MIN instead of wrapping (Damage, LowerHealth); these odds
// lower healths in 64-bit arithmetic, where nothing wraps either, and both
// take a duellist to 0 or less in the same moves: the odds are those of the
// duel button for any numbers, typed within the screen's limits or past them.
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

// The certainty the summary speaks of, as its texts write it (90 %).
inline constexpr double kOddsSummaryCertainty = 0.9;

// The odds by move in one line, for those who do not see them drawn: the
// move by which the duel is decided with 90 % certainty, or how likely it
// is to be decided within 100 moves when that chance stays below 90 %.
// Empty for a refused request.
std::string OddsSummary(const DuelOdds& odds);
// The move by the end of which the duel is decided (someone has fallen)
// with a chance of at least `certainty`; 0 when no move of the duel is.
int DecidedByMove(const DuelOdds& odds, double certainty);

}  // namespace saberline
