// The game's rules of one move: which weapon a move is fought with, and how
// one attacker's die turns into damage to one defender.
//
// What the rest of the referee relies on (the read-ahead of the move loop,
// MoveLoop.h, and the exact odds, Odds.h), and every rule here keeps:
// - The damage a defender takes in a move depends only on the attacker's
//   die, the move's weapon, the attacker's attack digit of that move, and
//   values that stay fixed for the whole duel (points, armour, strong sides,
//   the noble costume). Never on either health, nor on anything thrown
//   before: so each duellist's health can be followed alone, and the most a
//   duellist can lose in any move is known before the duel starts.
// - A damage is never negative: a health never rises.
// - Damage and health stay within 32 bits: a damage is at most INT32_MAX,
//   and a health stops at INT32_MIN instead of wrapping round (LowerHealth).
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <string_view>

namespace saberline {

// The longest duel, in moves; also how many digits an attack scheme is
// expanded to, and how long a generated scheme is.
inline constexpr int kMaxMoves = 100;

// The rules' version. Any change to what the referee outputs for some
// request and dice (a log, a message, a number in either) takes the next
// version. Fair duels name it in every reading and in every verification,
// so that a duel published under other rules is refused with both versions
// named, instead of failing to verify with nothing to say why. The known
// answers of docs/fair-vectors.json pin the logs and this version together:
// their test says when a change of the rules' output needs the next one.
inline constexpr std::int32_t kRulesVersion = 1;

enum class DuelType : std::uint8_t { Pistols = 1, ColdWeapons = 2, Mixed = 3 };

enum class Weapon : std::uint8_t { Pistol, ColdWeapon };

// Pistols every move, cold weapons every move, or (mixed) pistols in move 1
// and every fifth move, cold weapons in the others.
Weapon WeaponOfMove(DuelType type, int move) noexcept;

// The attack digit of move n (1-based): the expanded scheme's n-th character
// as a number. The expanded scheme is the system's own text, so this
// converts; if it ever does not, the conversion error ends the request.
std::int32_t AttackDigit(std::string_view scheme, int move);

// A pistol move: 1 to 3 miss; 4 and 5 deal the firearm points, 6 twice
// them, less the defender's armour, when more than it.
std::int32_t ResolveShot(std::int32_t die, std::int32_t firearm, std::int32_t defenderArmour) noexcept;

// The defender's strong side that meets the attack digit (the fourth only
// with the noble costume), or 0.
std::int32_t FindParryingSide(std::int32_t attack, const std::array<std::int32_t, 3>& strong,
                              std::int32_t fourth, bool nobleCostume) noexcept;

// A cold move: 1 deals nothing; 2 to 5 the cold-weapon points unless
// parried; 6 twice them, or once when parried; less the defender's armour,
// when positive.
std::int32_t ResolveStrike(std::int32_t die, bool parried, std::int32_t cold,
                           std::int32_t defenderArmour) noexcept;

// A health lowered by a damage (at least 0), stopping at INT32_MIN.
inline std::int32_t LowerHealth(std::int32_t health, std::int32_t damage) noexcept {
    const std::int64_t lowered = static_cast<std::int64_t>(health) - damage;
    return lowered < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(lowered);
}

}  // namespace saberline
