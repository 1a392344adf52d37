// The core's field tables, the one statement of each field's name, start-up
// text and length that the window, the page and the command line read:
// whatever is changed in them, they must still describe one screen.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Calculator.h"
#include "Duel.h"
#include "Odds.h"
#include "Readings.h"

namespace saberline {
namespace {

TEST(FieldTables, EveryControlNamedOnce) {
    std::set<std::string> names;
    auto add = [&](const char* name) { EXPECT_TRUE(names.insert(name).second) << name; };
    for (const DuelField& field : kDuelFields) add(field.name);
    for (const ForumTextField& field : kForumTextFields) add(field.name);
    for (const BlackMarkBox& box : kBlackMarkBoxes) add(box.name);
    for (const CombatResult& result : kCombatResults) add(result.name);
    for (const OddsFigure& figure : kOddsFigures) add(figure.control);
}

TEST(FieldTables, StartUpTextsFitTheirFields) {
    auto fits = [](const char* text, int maxLength) {
        return CountUtf8Characters(text).value_or(static_cast<std::size_t>(maxLength) + 1) <= static_cast<std::size_t>(maxLength);
    };
    for (const DuelField& field : kDuelFields) EXPECT_TRUE(fits(field.startUp, field.maxLength)) << field.name;
    for (const ForumTextField& field : kForumTextFields) EXPECT_TRUE(fits(field.startUp, field.maxLength)) << field.name;
    for (const CombatResult& result : kCombatResults) EXPECT_TRUE(fits(result.startUp, result.maxLength)) << result.name;
}

// The transfer copies every result, as it stands, into a field of the same
// duellist on the duel screen that can hold it; each duel field gets one.
TEST(FieldTables, EveryResultHasAFieldOfItsDuellistToGoTo) {
    std::set<std::string> targets;
    for (const CombatResult& result : kCombatResults) {
        const DuelField* target = FindDuelField(result.transferTo);
        ASSERT_NE(target, nullptr) << result.name;
        EXPECT_EQ(target->duellist, result.duellist) << result.name;
        EXPECT_NE(target->value, nullptr) << result.name << ": a number field";
        EXPECT_LE(result.maxLength, target->maxLength) << result.name;
        EXPECT_TRUE(targets.insert(result.transferTo).second) << result.transferTo;
    }
}

// The start-up request and forum fields are the tables' start-up texts,
// which the duel button and the calculator refuse as they stand.
TEST(FieldTables, TheStartUpScreensAreRefused) {
    const DuelScreenTexts shown = RunDuelRequest(DuelRequest::StartUp(), ProcessDice());
    EXPECT_FALSE(shown.ErrorText.empty());
    EXPECT_TRUE(shown.InfoBM1.empty());
    EXPECT_FALSE(CalculateCombat(ForumFields::StartUp()).message.empty());
    EXPECT_FALSE(CheckTransfer(CombatTexts::StartUp()).empty());
}

}  // namespace
}  // namespace saberline
