// The duel referee: one press of the duel button, from the duel screen's
// field texts to the two move logs and the message line. Its parts, each in
// its own file by what changes it:
//   DuelRequest.h  the fields, their checks and the attack schemes
//   DuelRules.h    the rules of one move: weapons, shots, strikes, parries
//   MoveLoop.h     the duel fought move by move
//   MoveLog.h      the move logs and the verdict
#pragma once

#include <string>

#include "Dice.h"
#include "DuelRequest.h"
#include "DuelRules.h"
#include "MoveLog.h"
#include "MoveLoop.h"

namespace saberline {

// Everything the duel button writes: the texts of InfoBM1, InfoBM2 and
// ErrorText; and, for a refused request, the control whose text the refusal
// concerns (the window shows no more than the message).
struct DuelScreenTexts {
    std::string InfoBM1;
    std::string InfoBM2;
    std::string ErrorText;
    const char* refusedField = nullptr;
};

// The whole press of the duel button: validation, schemes, the duel and the
// logs.
DuelScreenTexts RunDuelRequest(const DuelRequest& request, Dice& dice);

}  // namespace saberline
