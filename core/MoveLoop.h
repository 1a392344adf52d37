// The move loop: a validated duel fought move by move, a reseed and two
// dice every move, until a duellist falls or after move 100.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Dice.h"
#include "DuelRequest.h"
#include "DuelRules.h"

namespace saberline {

struct MoveRecord {
    std::uint8_t number = 0;
    Weapon weapon = Weapon::Pistol;
    std::int32_t die1 = 0, die2 = 0;
    char attack1 = 0, attack2 = 0;  // cold moves: the scheme characters
    std::uint8_t parry1 = 0, parry2 = 0;  // cold moves: 0 = not parried
    std::int32_t health1 = 0, health2 = 0;
};

enum class DuelEnding : std::uint8_t { Duellist1Wins, Duellist2Wins, BothFell, Undecided };

// The loop's own pieces, for FightDuel below.
namespace moves {

// Everything one attacker's die can do to one defender: the rules depend on
// nothing else, so they are worked out once per duel instead of every move.
struct AttackTable {
    std::array<std::int32_t, 7> shot{};                   // by die 1..6
    std::array<std::array<std::int32_t, 7>, 2> strike{};  // [parried][die 1..6]
    std::array<std::int32_t, 10> parry{};                 // the defender's side, by attack digit 0..9

    AttackTable(const Duellist& attacker, const Duellist& defender) noexcept {
        for (std::int32_t die = 1; die <= 6; ++die) {
            const auto at = static_cast<std::size_t>(die);
            shot[at] = ResolveShot(die, attacker.firearm, defender.armour);
            strike[0][at] = ResolveStrike(die, false, attacker.cold, defender.armour);
            strike[1][at] = ResolveStrike(die, true, attacker.cold, defender.armour);
        }
        for (std::int32_t attack = 0; attack <= 9; ++attack)
            parry[static_cast<std::size_t>(attack)] =
                FindParryingSide(attack, defender.strong, defender.fourth, defender.nobleCostume);
    }

    // The most damage any die can deal, in either kind of move.
    std::int32_t Most() const noexcept {
        std::int32_t most = 0;
        for (std::size_t die = 1; die <= 6; ++die)
            most = std::max({most, shot[die], strike[0][die], strike[1][die]});
        return most;
    }

    std::int32_t ParryingSide(std::int32_t attack, const Duellist& defender) const noexcept {
        return attack >= 0 && attack <= 9
                   ? parry[static_cast<std::size_t>(attack)]
                   : FindParryingSide(attack, defender.strong, defender.fourth, defender.nobleCostume);
    }
};

// AttackDigit with the digit read in place; anything else (a scheme that
// ends early, a character that is no digit) goes to AttackDigit itself.
inline std::int32_t AttackDigitOf(std::string_view scheme, int move) {
    const auto at = static_cast<std::size_t>(move - 1);
    if (at < scheme.size()) {
        const unsigned digit = static_cast<unsigned char>(scheme[at]) - unsigned{'0'};
        if (digit <= 9u) return static_cast<std::int32_t>(digit);
    }
    return AttackDigit(scheme, move);  // out of line, in DuelRules.cpp
}

}  // namespace moves

// Fights the duel, a reseed and two dice every move, up to 100 moves,
// handing every move's record to `onMove` as it is fought, in order (the
// duel button writes both logs from them as it goes, with no list of moves
// in between). Returns the duel's ending.
//
// A clock reading waits for all the work before it to finish. So when
// neither duellist can fall in a move whatever the dice (each health above
// the most the other can deal, and the move not the last), the next move is
// certain: its reading is taken first, and this move's dice are thrown from a
// copy of the seed while that reading is on its way. The readings, the dice
// and the seed left behind are the same as reseeding after the move; only
// the last move of a duel, or one in which someone may fall, is fought in
// the plain order. This rests on the rules' invariants (DuelRules.h): what a
// die deals never depends on a health, so the most a move can deal is known
// before the duel, and a health never rises.
template <typename OnMove>
DuelEnding FightDuel(const Duellist& d1, const Duellist& d2, DuelType type, Dice& dice, OnMove&& onMove) {
    const moves::AttackTable by1(d1, d2);  // duellist 1 attacking duellist 2
    const moves::AttackTable by2(d2, d1);
    const std::int32_t most1 = by2.Most();  // the most duellist 1 can lose in a move
    const std::int32_t most2 = by1.Most();
    std::int32_t health1 = d1.health;
    std::int32_t health2 = d2.health;
    const std::string_view scheme1 = d1.scheme;
    const std::string_view scheme2 = d2.scheme;
    MoveRecord move;
    std::int32_t parry1 = 0;  // the parrying sides of the move, as found
    std::int32_t parry2 = 0;
    // What no die decides: the weapon, the attacks and the parries.
    auto prepare = [&](int n) {
        move.number = static_cast<std::uint8_t>(n);
        move.weapon = WeaponOfMove(type, n);
        if (move.weapon == Weapon::ColdWeapon) {
            const std::int32_t attack1 = moves::AttackDigitOf(scheme1, n);
            const std::int32_t attack2 = moves::AttackDigitOf(scheme2, n);
            move.attack1 = static_cast<char>('0' + attack1);
            move.attack2 = static_cast<char>('0' + attack2);
            parry2 = by1.ParryingSide(attack1, d2);
            parry1 = by2.ParryingSide(attack2, d1);
        } else {
            move.attack1 = move.attack2 = 0;
            parry1 = parry2 = 0;
        }
        move.parry1 = static_cast<std::uint8_t>(parry1);
        move.parry2 = static_cast<std::uint8_t>(parry2);
    };
    // The dice and what they do.
    auto strike = [&](std::int32_t die1, std::int32_t die2) {
        move.die1 = die1;
        move.die2 = die2;
        if (move.weapon == Weapon::Pistol) {
            health2 = LowerHealth(health2, by1.shot[static_cast<std::size_t>(die1)]);
            health1 = LowerHealth(health1, by2.shot[static_cast<std::size_t>(die2)]);
        } else {
            health2 = LowerHealth(health2, by1.strike[parry2 != 0][static_cast<std::size_t>(die1)]);
            health1 = LowerHealth(health1, by2.strike[parry1 != 0][static_cast<std::size_t>(die2)]);
        }
        move.health1 = health1;
        move.health2 = health2;
        onMove(static_cast<const MoveRecord&>(move));
    };

    int n = 1;
    dice.Reseed();  // the reading of move 1
    // Moves in which no one can fall: the next move's reading first.
    for (; n < kMaxMoves && health1 > most1 && health2 > most2; ++n) {
        prepare(n);
        Dice thrown = dice;  // this move's seed
        dice.Reseed();
        const std::int32_t die1 = thrown.Die();  // 1..6
        const std::int32_t die2 = thrown.Die();
        strike(die1, die2);
    }
    // The rest in the plain order: dice, damage, then the reading of the next
    // move if there is one.
    for (;; ++n) {
        prepare(n);
        const std::int32_t die1 = dice.Die();
        const std::int32_t die2 = dice.Die();
        strike(die1, die2);
        if (health1 <= 0 || health2 <= 0 || n == kMaxMoves) break;
        dice.Reseed();
    }
    if (health1 > 0 && health2 > 0) return DuelEnding::Undecided;
    if (health1 > 0) return DuelEnding::Duellist1Wins;
    if (health2 > 0) return DuelEnding::Duellist2Wins;
    return DuelEnding::BothFell;
}

}  // namespace saberline
