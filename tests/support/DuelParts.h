// The duel taken apart, for the tests and the benchmarks: a clock that
// counts, the whole list of a duel's moves, and both logs written from such a
// list. The duel button itself fights and writes as it goes (Duel.cpp); these
// lay the same steps side by side, so that each can be checked alone.
#pragma once

#include <cstdint>
#include <vector>

#include "Dice.h"
#include "MoveLog.h"
#include "MoveLoop.h"

namespace saberline {

// Readings start, start + 1, start + 2, ...
class CountingClock final : public ClockSource {
public:
    explicit CountingClock(std::uint64_t start = 0) : next_(start) {}
    std::uint64_t Read() override { return next_++; }

private:
    std::uint64_t next_;
};

struct FoughtMoves {
    std::vector<MoveRecord> moves;  // 1 to 100
    DuelEnding ending = DuelEnding::Undecided;
};

// Fights the duel as the duel button does, keeping every move's record.
inline FoughtMoves RunDuel(const Duellist& d1, const Duellist& d2, DuelType type, Dice& dice) {
    FoughtMoves result;
    result.moves.reserve(kMaxMoves);
    result.ending = FightDuel(d1, d2, type, dice, [&](const MoveRecord& move) { result.moves.push_back(move); });
    return result;
}

// Both logs and the message of a list of moves, as the duel button writes
// them move by move.
inline MoveLogs WriteMoveLogs(std::int32_t startHealth1, std::int32_t startHealth2,
                              const std::vector<MoveRecord>& moves, DuelEnding ending) {
    logs::LogBuffers buffers(moves.size());
    logs::MoveLogWriter writer(buffers, startHealth1, startHealth2);
    for (const MoveRecord& m : moves) writer.Move(m);
    return writer.Finish(ending);
}

}  // namespace saberline
