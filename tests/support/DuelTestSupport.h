// Helpers shared by the core's, the command line's and the window's tests:
// requests built from field texts, the canonical duel of an accepted
// request, and clock readings that make the dice fall as a test wants.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "Dice.h"
#include "Duel.h"
#include "Fair.h"
#include "Readings.h"

namespace saberline::testing {

// The smallest clock reading after which a reseed and two dice give the
// pair (duellist 1's die, then duellist 2's).
inline std::uint64_t ReadingForDice(int die1, int die2) {
    for (std::uint32_t reading = 0; reading < 1000000; ++reading) {
        ListClock clock({reading});
        Dice dice(clock);
        dice.Reseed();
        const int a = dice.Die();
        if (a == die1 && dice.Die() == die2) return reading;
    }
    throw std::logic_error("no reading gives these dice");
}

// The readings that make successive moves throw the given pairs, in order.
inline std::vector<std::uint64_t> ReadingsForMoves(std::initializer_list<std::pair<int, int>> moves) {
    std::vector<std::uint64_t> readings;
    for (auto [a, b] : moves) readings.push_back(ReadingForDice(a, b));
    return readings;
}

// The same readings as a --clock list (or the page's ?clock=).
inline std::string ClockFor(std::initializer_list<std::pair<int, int>> moves) {
    return WriteClockList(ReadingsForMoves(moves));
}

// A request from control names and texts; fields not named keep their
// start-up text.
inline DuelRequest Request(DuelType type, std::initializer_list<std::pair<const char*, const char*>> texts) {
    DuelRequest request = DuelRequest::StartUp();
    request.type = type;
    for (auto [name, text] : texts) {
        bool found = false;
        for (const DuelField& field : kDuelFields) {
            if (std::string(field.name) == name) {
                FieldText(request, field) = text;
                found = true;
            }
        }
        if (!found) throw std::logic_error(std::string("no field ") + name);
    }
    return request;
}

// The canonical duel of a request the referee accepts; a refusal is a
// fault of the test.
inline fair::CanonicalDuel Accepted(const DuelRequest& request) {
    auto canonical = fair::Canonicalise(request);
    if (const auto* message = std::get_if<std::string>(&canonical))
        throw std::logic_error("refused: " + *message);
    return std::get<fair::CanonicalDuel>(canonical);
}

}  // namespace saberline::testing
