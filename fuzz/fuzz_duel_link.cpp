// Fuzz target: the duel link, which arrives from any address a player
// opens. ReadDuelLink must never crash or read out of bounds; whatever it
// accepts must write back to the very same link and replay without an
// error escaping.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Dice.h"
#include "Duel.h"
#include "DuelLink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto link = saberline::ReadDuelLink(text);
    if (!link) return 0;
    // Percent escapes may be written in either case and unreserved bytes
    // may be escaped; the link written back reads to the same request.
    const std::string again = saberline::WriteDuelLink(link->request, link->readings);
    const auto reread = saberline::ReadDuelLink(again);
    if (!reread || reread->readings != link->readings || reread->request.type != link->request.type) {
        std::fprintf(stderr, "fuzz_duel_link: an accepted link does not survive being written again\n");
        std::abort();
    }
    saberline::ListClock clock(link->readings);
    saberline::Dice dice(clock);
    static_cast<void>(saberline::RunDuelRequest(link->request, dice));
    return 0;
}
