// The duel referee: one press of the duel button, from the duel screen's
// field texts to the two move logs and the message line. Its parts, each in
// its own file by what changes it:
//   DuelRequest.h  the fields, their checks and the attack schemes
//   DuelRules.h    the rules of one move: weapons, shots, strikes, parries
//   MoveLoop.h     the duel fought move by move
//   MoveLog.h      the move logs and the verdict
//   DuelResults.h  what the duel button writes, as the screens show it
#pragma once

#include <string>

#include "Dice.h"
#include "DuelResults.h"
#include "DuelRequest.h"
#include "DuelRules.h"
#include "MoveLog.h"
#include "MoveLoop.h"

namespace saberline {

// The whole press of the duel button: validation, schemes, the duel and the
// logs.
DuelScreenTexts RunDuelRequest(const DuelRequest& request, Dice& dice);

}  // namespace saberline
