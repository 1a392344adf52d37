// The duel request: what one press of the duel button reads from the duel
// screen (the field table below is the one statement of each field's name,
// owner, start-up text and length), the checks that refuse it, and the
// attack schemes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Dice.h"
#include "DuelRules.h"

namespace saberline {

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

    // The duel screen right after start-up: every field at its start-up text
    // (kDuelFields), a pistol duel.
    static DuelRequest StartUp();
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

// One field of the duel screen that the request reads: its control name,
// whose field it is, where its text and value go, its text at start-up and
// how many characters the screen lets the user type into it. The window,
// the page, the command line and the tests all take these facts from here.
struct DuelField {
    const char* name;
    int duellist;                       // 0 or 1
    std::string DuellistFields::*text;  // null for the strong sides
    int strongIndex;                    // 0..3 for the strong sides, else -1
    std::int32_t Duellist::*value;      // the four numbers; null for the strong sides and the scheme
    const char* startUp;
    int maxLength;
};
extern const std::array<DuelField, 18> kDuelFields;
std::string& FieldText(DuelRequest& request, const DuelField& field);
const std::string& FieldText(const DuelRequest& request, const DuelField& field);
// The field of that control name, or null.
const DuelField* FindDuelField(std::string_view name) noexcept;

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

// Validation and, for cold-weapon and mixed duels, both schemes checked and
// expanded: the records the move loop needs, or the message that refuses
// them.
Validation PrepareDuel(const DuelRequest& request);

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
