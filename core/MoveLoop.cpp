#include "MoveLoop.h"

namespace saberline {

DuelResult RunDuel(const Duellist& d1, const Duellist& d2, DuelType type, Dice& dice) {
    DuelResult result;
    result.moves.reserve(kMaxMoves);
    result.ending = FightDuel(d1, d2, type, dice, [&](const MoveRecord& move) { result.moves.push_back(move); });
    return result;
}

}  // namespace saberline
