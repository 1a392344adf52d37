// The characteristics calculator: forum standing (posts, reputation, black
// marks) into firearm, cold-weapon and armour points, and the check before
// the results are carried over to the duel screen.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace saberline {

inline constexpr int kBlackMarks = 5;

// What the calculator screen's inputs hold.
struct ForumFields {
    std::string posts1 = "0";       // SumPostsBM1
    std::string posts2 = "0";       // SumPostsBM2
    std::string reputation1 = "0";  // SumRBM1
    std::string reputation2 = "0";  // SumRBM2
    int marks1 = 0;  // checked boxes among ChM11..ChM15
    int marks2 = 0;  // checked boxes among ChM21..ChM25
};

// One text field of the calculator screen: its control name, where its text
// goes and how many characters the screen lets the user type into it.
struct ForumTextField {
    const char* name;
    std::string ForumFields::*text;
    int maxLength;
};
inline const std::array<ForumTextField, 4> kForumTextFields{{
    {"SumPostsBM1", &ForumFields::posts1, 5},
    {"SumRBM1", &ForumFields::reputation1, 4},
    {"SumPostsBM2", &ForumFields::posts2, 5},
    {"SumRBM2", &ForumFields::reputation2, 4},
}};

// The six result fields, in the order FOgnOr1, FHolOr1, FStrZ1, FOgnOr2,
// FHolOr2, FStrZ2.
struct CombatTexts {
    std::string FOgnOr1 = "0", FHolOr1 = "0", FStrZ1 = "0";
    std::string FOgnOr2 = "0", FHolOr2 = "0", FStrZ2 = "0";
};

struct Calculation {
    std::string message;          // the refusal; empty on success
    const char* field = nullptr;  // the control a refusal concerns (the first that fails)
    CombatTexts results;          // meaningful on success only
};

// Band tables, one value each; 0 where no band matches.
std::int32_t FirearmFromReputation(std::int32_t reputation) noexcept;
std::int32_t ColdFromPosts(std::int32_t posts) noexcept;
std::int32_t ReputationFactor(std::int32_t reputation) noexcept;
std::int32_t ArmourBase(std::int32_t posts, std::int32_t reputation) noexcept;
std::int32_t ArmourFromBase(std::int32_t base) noexcept;
// value * (100 - 20 * marks) / 100, fraction dropped; marks 0 leaves it.
std::int32_t ReduceByBlackMarks(std::int32_t value, int marks) noexcept;

// The press of "Рассчитать боевые характеристики бретёров".
Calculation CalculateCombat(const ForumFields& fields);

// The plausibility check of the transfer: the refusal message when a
// firearm or cold-weapon result is 0, else empty. The texts are the
// system's own; a text that does not convert raises EConvertError.
std::string CheckTransfer(const CombatTexts& results);

}  // namespace saberline
