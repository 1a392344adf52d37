#include "Duel.h"

namespace saberline {

DuelScreenTexts RunDuelRequest(const DuelRequest& request, Dice& dice) {
    DuelScreenTexts screen;  // the three outputs start empty
    const Validation prepared = PrepareDuel(request);
    if (!prepared.message.empty()) {
        screen.ErrorText = prepared.message;
        screen.refusedField = prepared.field;
        return screen;
    }
    const auto& [d1, d2] = prepared.duellists;
    // The duel and its logs in one pass: each move's log entries are
    // written as the duel goes, with no list of moves in between.
    logs::LogBuffers buffers(kMaxMoves);
    logs::MoveLogWriter writer(buffers, d1.health, d2.health);
    const DuelEnding ending =
        FightDuel(d1, d2, request.type, dice, [&](const MoveRecord& move) { writer.Move(move); });
    MoveLogs logs = writer.Finish(ending);
    screen.InfoBM1 = std::move(logs.log1);
    screen.InfoBM2 = std::move(logs.log2);
    screen.ErrorText = std::move(logs.message);
    return screen;
}

}  // namespace saberline
