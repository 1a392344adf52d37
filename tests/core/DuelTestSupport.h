// Helpers for duel tests: requests built from field texts, and clock
// readings that make the dice fall as a test wants.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Dice.h"
#include "Duel.h"

namespace saberline::testing {

// The smallest clock reading after which the move's two dice are (die1, die2).
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

inline std::vector<std::uint64_t> ReadingsForMoves(std::initializer_list<std::pair<int, int>> moves) {
    std::vector<std::uint64_t> readings;
    for (auto [a, b] : moves) readings.push_back(ReadingForDice(a, b));
    return readings;
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

}  // namespace saberline::testing
