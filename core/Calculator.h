// The characteristics calculator: forum standing (posts, reputation, black
// marks) into firearm, cold-weapon and armour points, and the check before
// the results are carried over to the duel screen.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace saberline {

// What the calculator screen's inputs hold.
struct ForumFields {
    std::string posts1;       // SumPostsBM1
    std::string posts2;       // SumPostsBM2
    std::string reputation1;  // SumRBM1
    std::string reputation2;  // SumRBM2
    int marks1 = 0;  // checked boxes among ChM11..ChM15
    int marks2 = 0;  // checked boxes among ChM21..ChM25

    // The calculator screen right after start-up (kForumTextFields), no
    // black mark checked.
    static ForumFields StartUp();
};

// One text field of the calculator screen: its control name, where its text
// goes, its text at start-up and how many characters the screen lets the
// user type into it; in the order the calculator checks them (both posts
// counts, then both reputations). The window, the page, the command line
// and the tests all take these facts from here.
struct ForumTextField {
    const char* name;
    std::string ForumFields::*text;
    const char* startUp;
    int maxLength;
};
extern const std::array<ForumTextField, 4> kForumTextFields;

// Black marks: five check boxes a duellist, ChM11..ChM15 and ChM21..ChM25.
inline constexpr int kBlackMarks = 5;
struct BlackMarkBox {
    const char* name;
    int duellist;  // 0 or 1
};
extern const std::array<BlackMarkBox, 2 * std::size_t{kBlackMarks}> kBlackMarkBoxes;
// The box of that control name, or null.
const BlackMarkBox* FindBlackMarkBox(std::string_view name) noexcept;

// The six result fields.
struct CombatTexts {
    std::string FOgnOr1, FHolOr1, FStrZ1;
    std::string FOgnOr2, FHolOr2, FStrZ2;

    // The results shown before any calculation (kCombatResults).
    static CombatTexts StartUp();
};

// One result field of the calculator screen: its control name, whose result
// it is, where its text goes, the duel screen field the transfer copies it
// to, whether the transfer refuses a 0 there (firearm and cold-weapon
// points, not armour), its text at start-up and its length. In the order the
// transfer copies them: OgnOr1, OgnOr2, HolOr1, HolOr2, StrZ1, StrZ2.
struct CombatResult {
    const char* name;
    int duellist;  // 0 or 1
    std::string CombatTexts::*text;
    const char* transferTo;
    bool transferRefusesZero;
    const char* startUp;
    int maxLength;
};
extern const std::array<CombatResult, 6> kCombatResults;

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

// What a transfer carried to the duel screen, in one sentence for the
// page's status line (kTransferDone): each duellist's three results as the
// transfer copied them.
std::string TransferNotice(const CombatTexts& results);

}  // namespace saberline
