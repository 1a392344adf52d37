#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "Calculator.h"
#include "IntText.h"
#include "Texts.h"

namespace saberline {
namespace {

struct ForumCase {
    std::int32_t posts, reputation;
    int marks;
    std::int32_t firearm, cold, armourBase, armour;
};

// The worked examples and the band edges of the calculator.
const ForumCase kForumCases[] = {
    {1, 1, 0, 8, 4, 1, 0},
    {99, 100, 0, 16, 5, 1, 0},
    {100, 5, 0, 9, 6, 100, 1},
    {250, 30, 0, 12, 7, 650, 3},
    {1000, 50, 0, 14, 9, 1875, 5},
    {5000, 100, 0, 16, 12, 6000, 7},
    {5000, 100, 2, 9, 7, 6000, 4},
    {2000, 75, 1, 12, 8, 3625, 4},
    {100, 2855, 0, 16, 6, 99975, 7},
    {100, 2856, 0, 16, 6, 100010, 0},
    {99999, 9999, 0, 16, 12, (99999 + 9999 * 70) / 2, 0},
    {99999, 1429, 0, 16, 12, (99999 + 1429 * 70) / 2, 0},
    {99999, 1428, 0, 16, 12, (99999 + 1428 * 70) / 2, 7},
    // Reputation 4: firearm 8 and armour 0 whatever the posts.
    {5000, 4, 0, 8, 12, 1, 0},
    // Posts 99: armour 0 whatever the reputation.
    {99, 9999, 0, 16, 5, 1, 0},
    {49, 74, 0, 14, 4, 1, 0},
    {50, 75, 0, 15, 5, 1, 0},
    {4999, 99, 0, 15, 11, (4999 + 99 * 70) / 2, 7},
    {1999, 20, 0, 11, 10, (1999 + 20 * 30) / 2, 4},
    {5000, 10000, 0, 16, 12, (5000 + 10000 * 70) / 2, 0},
    {100000, 10001, 0, 0, 12, 50000, 7},
    {100001, 9, 0, 9, 0, (100001 + 9 * 20) / 2, 7},
    // Black marks.
    {1, 1, 4, 1, 0, 1, 0},
    {100, 5, 1, 7, 4, 100, 0},
    {5000, 100, 5, 0, 0, 6000, 0},
    {5000, 100, 3, 6, 4, 6000, 2},
    {5000, 100, 4, 3, 2, 6000, 1},
};

TEST(Calculator, BandsArmourBaseAndBlackMarks) {
    for (const ForumCase& c : kForumCases) {
        SCOPED_TRACE(::testing::Message() << "posts " << c.posts << ", reputation " << c.reputation << ", marks "
                                          << c.marks);
        EXPECT_EQ(ArmourBase(c.posts, c.reputation), c.armourBase);
        ForumFields fields;
        fields.posts1 = IntToText(c.posts);
        fields.reputation1 = IntToText(c.reputation);
        fields.marks1 = c.marks;
        fields.posts2 = "1";
        fields.reputation2 = "1";
        const Calculation result = CalculateCombat(fields);
        ASSERT_EQ(result.message, "");
        EXPECT_EQ(result.results.FOgnOr1, IntToText(c.firearm));
        EXPECT_EQ(result.results.FHolOr1, IntToText(c.cold));
        EXPECT_EQ(result.results.FStrZ1, IntToText(c.armour));
        // The other duellist is not touched by these marks.
        EXPECT_EQ(result.results.FOgnOr2, "8");
        EXPECT_EQ(result.results.FHolOr2, "4");
        EXPECT_EQ(result.results.FStrZ2, "0");
    }
}

TEST(Calculator, BandTablesAtEveryEdge) {
    const std::tuple<std::int32_t, std::int32_t, std::int32_t> firearmEdges[] = {
        // reputation, firearm, below the edge: firearm at reputation - 1
        {1, 8, 0}, {5, 9, 8}, {10, 10, 9}, {20, 11, 10}, {30, 12, 11}, {40, 13, 12}, {50, 14, 13},
        {75, 15, 14}, {100, 16, 15}, {10000, 16, 16}, {10001, 0, 16},
    };
    for (auto [reputation, firearm, below] : firearmEdges) {
        EXPECT_EQ(FirearmFromReputation(reputation), firearm) << reputation;
        EXPECT_EQ(FirearmFromReputation(reputation - 1), below) << reputation - 1;
    }
    const std::pair<std::int32_t, std::int32_t> factors[] = {{4, 0},   {5, 20},  {9, 20},  {10, 25},    {19, 25},
                                                             {20, 30}, {39, 35}, {40, 40}, {50, 55},    {74, 55},
                                                             {75, 70}, {100, 70}, {10000, 70}, {10001, 0}};
    for (auto [reputation, factor] : factors) EXPECT_EQ(ReputationFactor(reputation), factor) << reputation;
    const std::pair<std::int32_t, std::int32_t> cold[] = {{0, 0},      {1, 4},      {49, 4},     {50, 5},
                                                          {99, 5},     {100, 6},    {249, 6},    {250, 7},
                                                          {499, 7},    {500, 8},    {999, 8},    {1000, 9},
                                                          {1499, 9},   {1500, 10},  {1999, 10},  {2000, 11},
                                                          {4999, 11},  {5000, 12},  {100000, 12}, {100001, 0}};
    for (auto [posts, points] : cold) EXPECT_EQ(ColdFromPosts(posts), points) << posts;
    const std::pair<std::int32_t, std::int32_t> armour[] = {{0, 0},      {99, 0},     {100, 1},    {249, 1},
                                                            {250, 2},    {499, 2},    {500, 3},    {999, 3},
                                                            {1000, 4},   {1499, 4},   {1500, 5},   {1999, 5},
                                                            {2000, 6},   {4999, 6},   {5000, 7},   {100000, 7},
                                                            {100001, 0}};
    for (auto [base, points] : armour) EXPECT_EQ(ArmourFromBase(base), points) << base;
}

TEST(Calculator, BlackMarkTable) {
    const std::array<std::array<std::int32_t, 3>, 6> table = {{
        {16, 12, 7}, {12, 9, 5}, {9, 7, 4}, {6, 4, 2}, {3, 2, 1}, {0, 0, 0},
    }};
    for (int marks = 0; marks <= 5; ++marks) {
        EXPECT_EQ(ReduceByBlackMarks(16, marks), table[static_cast<std::size_t>(marks)][0]);
        EXPECT_EQ(ReduceByBlackMarks(12, marks), table[static_cast<std::size_t>(marks)][1]);
        EXPECT_EQ(ReduceByBlackMarks(7, marks), table[static_cast<std::size_t>(marks)][2]);
    }
}

TEST(Calculator, RefusesBadForumTexts) {
    ForumFields good;
    good.posts1 = "100";
    good.posts2 = "$64";  // hexadecimal counts as 100
    good.reputation1 = "5";
    good.reputation2 = "5";
    const Calculation accepted = CalculateCombat(good);
    ASSERT_EQ(accepted.message, "");
    EXPECT_EQ(accepted.results.FHolOr2, "6");
    EXPECT_EQ(accepted.results.FStrZ2, "1");

    const std::pair<std::string ForumFields::*, const char*> refusals[] = {
        {&ForumFields::posts1, ""},       {&ForumFields::posts2, "0"},   {&ForumFields::reputation1, "-5"},
        {&ForumFields::reputation2, ""},  {&ForumFields::posts1, "1.5"}, {&ForumFields::reputation1, "5 "},
        {&ForumFields::posts2, "abc"},    {&ForumFields::reputation2, "0"},
    };
    for (auto [field, text] : refusals) {
        ForumFields fields = good;
        fields.*field = text;
        const Calculation result = CalculateCombat(fields);
        EXPECT_EQ(result.message, texts::kForumInputError) << "'" << text << "'";
    }
    EXPECT_EQ(CalculateCombat(ForumFields::StartUp()).message, texts::kForumInputError);
}

// A refusal names the first field that fails: both posts counts are
// checked before both reputations, and every field's presence before any
// field's form or value.
TEST(Calculator, RefusalNamesTheFieldItStopsAt) {
    ForumFields good;
    good.posts1 = good.posts2 = "100";
    good.reputation1 = good.reputation2 = "5";
    EXPECT_EQ(CalculateCombat(good).field, nullptr);
    using Changes = std::vector<std::pair<std::string ForumFields::*, const char*>>;
    const std::pair<Changes, const char*> cases[] = {
        {{{&ForumFields::posts1, ""}}, "SumPostsBM1"},
        {{{&ForumFields::reputation1, "x"}, {&ForumFields::posts2, "0"}}, "SumRBM1"},
        {{{&ForumFields::reputation1, "0"}, {&ForumFields::posts2, "0"}}, "SumPostsBM2"},
        {{{&ForumFields::posts1, "x"}, {&ForumFields::reputation2, ""}}, "SumRBM2"},
        {{{&ForumFields::reputation2, "-5"}}, "SumRBM2"},
        {{{&ForumFields::posts1, "0"}, {&ForumFields::reputation1, "5 "}}, "SumRBM1"},
    };
    for (const auto& [changes, field] : cases) {
        ForumFields fields = good;
        for (auto [text, value] : changes) fields.*text = value;
        const Calculation result = CalculateCombat(fields);
        EXPECT_EQ(result.message, texts::kForumInputError) << field;
        ASSERT_NE(result.field, nullptr) << field;
        EXPECT_STREQ(result.field, field);
    }
}

TEST(Transfer, RefusesZeroFirearmOrColdPoints) {
    EXPECT_EQ(CheckTransfer(CombatTexts::StartUp()), texts::kTransferRefused);  // before any calculation
    CombatTexts good{"8", "4", "0", "16", "12", "7"};
    EXPECT_EQ(CheckTransfer(good), "");  // armour 0 is fine
    for (std::string CombatTexts::*field :
         {&CombatTexts::FOgnOr1, &CombatTexts::FOgnOr2, &CombatTexts::FHolOr1, &CombatTexts::FHolOr2}) {
        CombatTexts texts = good;
        texts.*field = "0";
        EXPECT_EQ(CheckTransfer(texts), texts::kTransferRefused);
    }
    // Four black marks bring cold-weapon points 4 down to 0.
    ForumFields fields;
    fields.posts1 = "10";
    fields.reputation1 = "10";
    fields.posts2 = "10";
    fields.reputation2 = "10";
    fields.marks2 = 4;
    EXPECT_EQ(CheckTransfer(CalculateCombat(fields).results), texts::kTransferRefused);
}

TEST(Transfer, TheNoticeNamesEachDuellistsThreeResultsInTheirPlaces) {
    // Six different texts, so that a result in another's place shows.
    const CombatTexts results{"12", "7", "3", "8", "5", "0"};
    EXPECT_EQ(TransferNotice(results),
              "Перенесено на экран дуэли: бретёру №1 — ОгнОр 12, ХолОр 7, ОЗ 3; бретёру №2 — ОгнОр 8, ХолОр 5, "
              "ОЗ 0. Ходы бойцов и сообщение стёрты.");
}

TEST(Transfer, TextThatDoesNotConvertRaisesTheConversionError) {
    CombatTexts texts{" 7 ", "4", "0", "16", "12", "7"};
    EXPECT_THROW(CheckTransfer(texts), EConvertError);
}

}  // namespace
}  // namespace saberline
