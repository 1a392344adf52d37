#include "MoveLog.h"

namespace saberline {

MoveLogs WriteMoveLogs(std::int32_t startHealth1, std::int32_t startHealth2,
                       const std::vector<MoveRecord>& moves, DuelEnding ending) {
    logs::LogBuffers buffers(moves.size());
    logs::MoveLogWriter writer(buffers, startHealth1, startHealth2);
    for (const MoveRecord& m : moves) writer.Move(m);
    return writer.Finish(ending);
}

}  // namespace saberline
