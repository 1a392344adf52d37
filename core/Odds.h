// Exact odds of a duel under fair, independent dice: who wins, how often
// both fall, how often the duel stays undecided, and how long it lasts.
#pragma once

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

}  // namespace saberline
