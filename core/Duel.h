// The duel referee: a duel request from the duel screen's field texts to the
// two move logs and the message line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Dice.h"

namespace saberline {

enum class DuelType : std::uint8_t { Pistols = 1, ColdWeapons = 2, Mixed = 3 };

// The texts of one duellist's fields on the duel screen, as they stand.
struct DuellistFields {
    std::string health;                 // BP1 / BP2
    std::string firearm;                // OgnOr1 / OgnOr2
    std::string cold;                   // HolOr1 / HolOr2
    std::string armour;                 // StrZ1 / StrZ2
    std::array<std::string, 4> strong;  // StrSt11..StrSt14 / StrSt21..StrSt24
    std::string scheme;                 // ShAtack1 / ShAtack2
};

// Everything a press of the duel button reads.
struct DuelRequest {
    std::array<DuellistFields, 2> duellists;
    DuelType type = DuelType::Pistols;

    // The duel screen right after start-up: health "30", everything else
    // empty, a pistol duel.
    static DuelRequest StartUp();
};

// One field of the duel request: its control name, whose field it is and
// how many characters the screen lets the user type into it.
struct DuelField {
    const char* name;
    int duellist;  // 0 or 1
    std::string DuellistFields::*text;
    int strongIndex;  // 0..3 for the strong sides (text is null then), else -1
    int maxLength;
};
extern const std::array<DuelField, 18> kDuelFields;
std::string& FieldText(DuelRequest& request, const DuelField& field);

// Everything the duel button writes: the texts of InfoBM1, InfoBM2 and
// ErrorText; and, for a refused request, the control whose text the refusal
// concerns (the window shows no more than the message).
struct DuelScreenTexts {
    std::string InfoBM1;
    std::string InfoBM2;
    std::string ErrorText;
    const char* refusedField = nullptr;
};

// A duellist's record, built afresh on every request.
struct Duellist {
    std::int32_t health = 0;
    std::int32_t firearm = 0;
    std::int32_t cold = 0;
    std::int32_t armour = 0;
    std::array<std::int32_t, 3> strong{0, 0, 0};
    std::int32_t fourth = 0;  // 0 = none
    bool nobleCostume = false;
    std::string scheme;  // expanded scheme; empty in a pistol duel
};

// Validation of the parameter fields (not the schemes): either a message or
// the two records. The checks run in a fixed order and stop at the first
// field that fails: `field` names that control.
struct Validation {
    std::string message;          // empty when accepted
    const char* field = nullptr;  // the control a refusal concerns
    std::array<Duellist, 2> duellists;
};
Validation ValidateDuel(const DuelRequest& request);

// The scheme cyclically repeated to 100 digits (a text longer than 100 is
// kept whole); nullopt when any character is not a digit 1 to 6, or when
// there is none (the duel request reports an empty scheme before this).
std::optional<std::string> ExpandScheme(std::string_view scheme);

enum class Weapon : std::uint8_t { Pistol, ColdWeapon };

struct MoveRecord {
    std::uint8_t number = 0;
    Weapon weapon = Weapon::Pistol;
    std::int32_t die1 = 0, die2 = 0;
    char attack1 = 0, attack2 = 0;  // cold moves: the scheme characters
    std::uint8_t parry1 = 0, parry2 = 0;  // cold moves: 0 = not parried
    std::int32_t health1 = 0, health2 = 0;
};

enum class DuelEnding : std::uint8_t { Duellist1Wins, Duellist2Wins, BothFell, Undecided };

inline constexpr int kMaxMoves = 100;

struct DuelResult {
    std::vector<MoveRecord> moves;  // 1 to 100
    DuelEnding ending = DuelEnding::Undecided;
};

Weapon WeaponOfMove(DuelType type, int move) noexcept;
// The attack digit of move n (1-based): the expanded scheme's n-th character
// as a number. The expanded scheme is the system's own text, so this
// converts; if it ever does not, the conversion error ends the request.
std::int32_t AttackDigit(std::string_view scheme, int move);
std::int32_t ResolveShot(std::int32_t die, std::int32_t firearm, std::int32_t defenderArmour) noexcept;
std::int32_t FindParryingSide(std::int32_t attack, const std::array<std::int32_t, 3>& strong,
                              std::int32_t fourth, bool nobleCostume) noexcept;
std::int32_t ResolveStrike(std::int32_t die, bool parried, std::int32_t cold,
                           std::int32_t defenderArmour) noexcept;

// Fights the duel: a reseed and two dice every move, up to 100 moves.
DuelResult RunDuel(const Duellist& d1, const Duellist& d2, DuelType type, Dice& dice);

struct MoveLogs {
    std::string log1;
    std::string log2;
    std::string message;  // the long-duel message for an undecided duel
};
MoveLogs WriteMoveLogs(std::int32_t startHealth1, std::int32_t startHealth2,
                       const std::vector<MoveRecord>& moves, DuelEnding ending);

// Validation and, for cold-weapon and mixed duels, both schemes checked and
// expanded: the records RunDuel needs, or the message that refuses them.
Validation PrepareDuel(const DuelRequest& request);

// The whole press of the duel button: validation, schemes, the duel and the
// logs.
DuelScreenTexts RunDuelRequest(const DuelRequest& request, Dice& dice);

// The random attack scheme: 100 passes of reseed, one die, append; `onPass`
// sees the scheme built so far after every pass.
template <typename OnPass>
std::string GenerateScheme(Dice& dice, OnPass&& onPass) {
    std::string scheme;
    scheme.reserve(kMaxMoves);
    for (int pass = 0; pass < kMaxMoves; ++pass) {
        dice.Reseed();
        scheme.push_back(static_cast<char>('0' + dice.Die()));
        onPass(scheme);
    }
    return scheme;
}
inline std::string GenerateScheme(Dice& dice) {
    return GenerateScheme(dice, [](const std::string&) {});
}

}  // namespace saberline
