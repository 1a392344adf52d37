#include <gtest/gtest.h>

#include "Duel.h"
#include "DuelParts.h"
#include "DuelTestSupport.h"
#include "IntText.h"
#include "Texts.h"

namespace saberline {
namespace {

using testing::ReadingForDice;
using testing::ReadingsForMoves;
using testing::Request;
using Fields = std::initializer_list<std::pair<const char*, const char*>>;

// Two duellists that pass every check of a cold-weapon or mixed duel.
DuelRequest ColdBase(DuelType type, Fields changes = {}) {
    DuelRequest request = Request(type, {{"BP1", "30"}, {"OgnOr1", "12"}, {"HolOr1", "10"}, {"StrZ1", "0"},
                                         {"StrSt11", "1"}, {"StrSt12", "2"}, {"StrSt13", "3"}, {"ShAtack1", "123"},
                                         {"BP2", "25"}, {"OgnOr2", "9"}, {"HolOr2", "8"}, {"StrZ2", "2"},
                                         {"StrSt21", "6"}, {"StrSt22", "5"}, {"StrSt23", "4"}, {"ShAtack2", "456"}});
    for (auto [name, text] : changes) {
        for (const DuelField& field : kDuelFields)
            if (std::string(field.name) == name) FieldText(request, field) = text;
    }
    return request;
}

DuelRequest PistolBase(Fields changes = {}) {
    DuelRequest request = ColdBase(DuelType::Pistols, changes);
    return request;
}

struct ValidationCase {
    const char* what;
    DuelRequest request;
    const char* message;  // "" = accepted
};

TEST(DuelValidation, FirstFailingCheckGivesItsMessage) {
    const char* input = texts::kInputError;
    const char* costume = texts::kCostumeError;
    const char* dup1 = texts::kDuplicateSides1;
    const char* dup2 = texts::kDuplicateSides2;
    const ValidationCase cases[] = {
        {"start-up screen", DuelRequest::StartUp(), input},
        {"blank number field", PistolBase({{"OgnOr2", " "}}), input},
        {"empty armour", PistolBase({{"StrZ2", ""}}), input},
        {"health 0", PistolBase({{"BP1", "0"}}), input},
        {"firearm 0, duellist 2", PistolBase({{"OgnOr2", "0"}}), input},
        {"cold 0 in a pistol duel", PistolBase({{"HolOr1", "0"}}), input},
        {"firearm 0 in a cold duel", ColdBase(DuelType::ColdWeapons, {{"OgnOr1", "0"}}), input},
        {"negative health", ColdBase(DuelType::Mixed, {{"BP2", "-3"}}), input},
        {"armour 0", PistolBase({{"StrZ1", "0"}}), ""},
        {"armour -5", ColdBase(DuelType::ColdWeapons, {{"StrZ2", "-5"}}), ""},
        {"pistols need no strong sides or schemes",
         PistolBase({{"StrSt11", ""}, {"StrSt22", ""}, {"ShAtack1", ""}, {"ShAtack2", "abc"}}), ""},
        {"pistols: letter as fourth side", PistolBase({{"StrSt14", "a"}}), input},
        {"pistols: 7 as fourth side", PistolBase({{"StrSt24", "7"}}), ""},
        {"pistols: strong sides out of range are not read", PistolBase({{"StrSt11", "9"}, {"StrSt12", "9"}}), ""},
        {"cold: empty strong side", ColdBase(DuelType::ColdWeapons, {{"StrSt23", ""}}), input},
        {"cold: strong side 0", ColdBase(DuelType::ColdWeapons, {{"StrSt12", "0"}}), input},
        {"cold: strong side 7", ColdBase(DuelType::Mixed, {{"StrSt21", "7"}}), input},
        {"cold: strong side a letter", ColdBase(DuelType::ColdWeapons, {{"StrSt13", "x"}}), input},
        {"costume with armour 0", ColdBase(DuelType::ColdWeapons, {{"StrSt14", "4"}}), ""},
        {"costume with armour 1", ColdBase(DuelType::ColdWeapons, {{"StrSt14", "4"}, {"StrZ1", "1"}}), costume},
        {"costume side 9", ColdBase(DuelType::ColdWeapons, {{"StrSt14", "9"}}), costume},
        {"costume side 7, duellist 2", ColdBase(DuelType::Mixed, {{"StrSt24", "7"}, {"StrZ2", "0"}}), costume},
        {"fourth side 0 with armour", ColdBase(DuelType::ColdWeapons, {{"StrSt14", "0"}, {"StrZ1", "5"}}), ""},
        {"fourth side a letter", ColdBase(DuelType::ColdWeapons, {{"StrSt24", "y"}}), input},
        {"sides 2, 5, 2", ColdBase(DuelType::ColdWeapons, {{"StrSt11", "2"}, {"StrSt12", "5"}, {"StrSt13", "2"}}),
         dup1},
        {"fourth side repeats", ColdBase(DuelType::ColdWeapons, {{"StrSt14", "3"}}), dup1},
        {"duellist 2 repeats", ColdBase(DuelType::Mixed, {{"StrSt23", "6"}}), dup2},
        {"both repeat", ColdBase(DuelType::ColdWeapons, {{"StrSt13", "1"}, {"StrSt23", "6"}}), dup1},
        {"range before repeats",
         ColdBase(DuelType::ColdWeapons, {{"StrSt11", "0"}, {"StrSt22", "6"}}), input},
        {"costume before repeats",
         ColdBase(DuelType::ColdWeapons, {{"StrSt24", "1"}, {"StrZ2", "3"}, {"StrSt13", "1"}}), costume},
        {"health before costume", ColdBase(DuelType::ColdWeapons, {{"BP1", "0"}, {"StrSt14", "5"}, {"StrZ1", "2"}}),
         input},
        {"hexadecimal health", PistolBase({{"BP1", "$FFF"}}), ""},
    };
    for (const ValidationCase& c : cases) {
        EXPECT_EQ(ValidateDuel(c.request).message, c.message) << c.what;
    }
}

// A refusal names the field it stopped at: every field's presence is
// checked before any field's form, form before values, values before the
// strong sides' ranges, and so on through the costume, repeated sides and
// the schemes.
TEST(DuelValidation, RefusalNamesTheFieldItStopsAt) {
    const DuelType cold = DuelType::ColdWeapons;
    const std::pair<DuelRequest, const char*> cases[] = {
        {DuelRequest::StartUp(), "OgnOr1"},
        {PistolBase({{"BP1", "x"}, {"OgnOr2", ""}}), "OgnOr2"},
        {PistolBase({{"BP2", "x"}, {"StrZ1", " "}}), "StrZ1"},
        {PistolBase({{"StrSt24", "a"}}), "StrSt24"},
        {PistolBase({{"StrSt14", "a"}, {"HolOr1", "0"}}), "StrSt14"},
        {PistolBase({{"StrZ1", "-5"}, {"HolOr2", "0"}}), "HolOr2"},
        {PistolBase({{"BP2", "-1"}, {"OgnOr1", "0"}}), "OgnOr1"},
        {ColdBase(cold, {{"StrSt23", ""}, {"BP1", "x"}}), "StrSt23"},
        {ColdBase(cold, {{"StrSt22", "x"}, {"StrSt12", ""}}), "StrSt12"},
        {ColdBase(cold, {{"StrSt12", "0"}}), "StrSt12"},
        {ColdBase(DuelType::Mixed, {{"StrSt21", "7"}, {"BP2", "0"}}), "BP2"},
        {ColdBase(cold, {{"StrSt14", "9"}}), "StrSt14"},
        {ColdBase(cold, {{"StrSt14", "4"}, {"StrZ1", "1"}}), "StrZ1"},
        {ColdBase(DuelType::Mixed, {{"StrSt24", "7"}, {"StrZ2", "0"}}), "StrSt24"},
        {ColdBase(cold, {{"StrSt11", "2"}, {"StrSt12", "5"}, {"StrSt13", "2"}}), "StrSt13"},
        {ColdBase(cold, {{"StrSt14", "3"}}), "StrSt14"},
        {ColdBase(cold, {{"StrSt23", "6"}}), "StrSt23"},
        {ColdBase(cold, {{"StrSt24", "5"}, {"StrZ2", "0"}}), "StrSt24"},
        {ColdBase(cold, {{"ShAtack1", ""}, {"ShAtack2", ""}}), "ShAtack1"},
        {ColdBase(cold, {{"ShAtack1", "12x"}, {"ShAtack2", ""}}), "ShAtack2"},
        {ColdBase(DuelType::Mixed, {{"ShAtack1", "17"}, {"ShAtack2", "b"}}), "ShAtack1"},
        {ColdBase(cold, {{"ShAtack2", "123 "}}), "ShAtack2"},
    };
    for (const auto& [request, field] : cases) {
        const Validation prepared = PrepareDuel(request);
        ASSERT_NE(prepared.field, nullptr) << field;
        EXPECT_STREQ(prepared.field, field) << prepared.message;
        ListClock clock({1});
        Dice dice(clock);
        const DuelScreenTexts screen = RunDuelRequest(request, dice);
        ASSERT_NE(screen.refusedField, nullptr) << field;
        EXPECT_STREQ(screen.refusedField, field);
        EXPECT_EQ(screen.ErrorText, prepared.message);
    }
    // An accepted request names no field.
    ListClock clock({1});
    Dice dice(clock);
    EXPECT_EQ(PrepareDuel(ColdBase(cold)).field, nullptr);
    EXPECT_EQ(RunDuelRequest(ColdBase(cold), dice).refusedField, nullptr);
    EXPECT_EQ(RunDuelRequest(PistolBase(), dice).refusedField, nullptr);
}

TEST(DuelValidation, MixedDuelsAreValidatedLikeColdDuels) {
    const Fields variants[] = {{}, {{"StrSt14", "4"}}, {{"StrSt14", "4"}, {"StrZ1", "1"}}, {{"StrSt21", "4"}},
                               {{"StrSt12", ""}}, {{"HolOr2", "0"}}};
    for (const Fields& changes : variants) {
        EXPECT_EQ(ValidateDuel(ColdBase(DuelType::ColdWeapons, changes)).message,
                  ValidateDuel(ColdBase(DuelType::Mixed, changes)).message);
    }
}

TEST(DuelValidation, BuildsTheDuellistRecords) {
    const DuelRequest request =
        Request(DuelType::ColdWeapons,
                {{"BP1", "30"}, {"OgnOr1", "12"}, {"HolOr1", "10"}, {"StrZ1", "0"}, {"StrSt11", "1"},
                 {"StrSt12", "2"}, {"StrSt13", "3"}, {"StrSt14", "4"}, {"BP2", "25"}, {"OgnOr2", "9"},
                 {"HolOr2", "8"}, {"StrZ2", "2"}, {"StrSt21", "6"}, {"StrSt22", "5"}, {"StrSt23", "4"}});
    const Validation v = ValidateDuel(request);
    ASSERT_EQ(v.message, "");
    const Duellist& d1 = v.duellists[0];
    const Duellist& d2 = v.duellists[1];
    EXPECT_EQ(std::tie(d1.health, d1.firearm, d1.cold, d1.armour), std::make_tuple(30, 12, 10, 0));
    EXPECT_EQ(d1.strong, (std::array<std::int32_t, 3>{1, 2, 3}));
    EXPECT_EQ(d1.fourth, 4);
    EXPECT_TRUE(d1.nobleCostume);
    EXPECT_EQ(std::tie(d2.health, d2.firearm, d2.cold, d2.armour), std::make_tuple(25, 9, 8, 2));
    EXPECT_EQ(d2.strong, (std::array<std::int32_t, 3>{6, 5, 4}));
    EXPECT_EQ(d2.fourth, 0);
    EXPECT_FALSE(d2.nobleCostume);
    // The schemes come next: both are empty here.
    EXPECT_EQ(PrepareDuel(request).message, texts::kSchemeEmpty1);
}

TEST(DuelValidation, PistolDuelReadsNoStrongSides) {
    const Validation v = ValidateDuel(PistolBase({{"StrSt14", "7"}}));
    ASSERT_EQ(v.message, "");
    for (const Duellist& d : v.duellists) {
        EXPECT_EQ(d.strong, (std::array<std::int32_t, 3>{0, 0, 0}));
        EXPECT_EQ(d.fourth, 0);
        EXPECT_FALSE(d.nobleCostume);
    }
}

TEST(AttackSchemes, Expansion) {
    const std::string seven = "1234561";
    const std::string ninetyNine = std::string(98, '2') + "5";
    const std::string hundred = std::string(50, '3') + std::string(50, '6');
    const std::pair<std::string, std::string> cases[] = {
        {"4", std::string(100, '4')},
        {"123", [] {
             std::string s;
             for (int i = 0; i < 33; ++i) s += "123";
             return s + "1";
         }()},
        {seven, [&] {
             std::string s;
             for (int i = 0; i < 14; ++i) s += seven;
             return s + "12";
         }()},
        {ninetyNine, ninetyNine + "2"},
        {hundred, hundred},
        {std::string(150, '5'), std::string(150, '5')},
    };
    for (const auto& [scheme, expanded] : cases) {
        const auto result = ExpandScheme(scheme);
        ASSERT_TRUE(result.has_value()) << scheme;
        EXPECT_EQ(*result, expanded) << scheme;
    }
}

TEST(AttackSchemes, BadCharactersAnywhere) {
    std::string long150(150, '3');
    long150[119] = '7';
    for (const std::string scheme : {"", "0", "7", "12 3", "123 ", " 123", "12a", "8", "9", "1-2", "+1", "$1",
                                     "12\xD0\x90", long150.c_str()}) {
        EXPECT_FALSE(ExpandScheme(scheme).has_value()) << scheme;
    }
}

TEST(AttackSchemes, MessagesInOrder) {
    const DuelType cold = DuelType::ColdWeapons;
    const std::pair<DuelRequest, const char*> cases[] = {
        {ColdBase(cold, {{"ShAtack1", ""}}), texts::kSchemeEmpty1},
        {ColdBase(cold, {{"ShAtack1", ""}, {"ShAtack2", ""}}), texts::kSchemeEmpty1},
        {ColdBase(cold, {{"ShAtack2", ""}}), texts::kSchemeEmpty2},
        {ColdBase(cold, {{"ShAtack1", "12x"}, {"ShAtack2", ""}}), texts::kSchemeEmpty2},
        {ColdBase(cold, {{"ShAtack1", "0"}}), texts::kSchemeBad1},
        {ColdBase(cold, {{"ShAtack1", "17"}, {"ShAtack2", "b"}}), texts::kSchemeBad1},
        {ColdBase(DuelType::Mixed, {{"ShAtack2", "123 "}}), texts::kSchemeBad2},
        {ColdBase(cold, {{"StrSt21", "5"}, {"ShAtack1", ""}}), texts::kDuplicateSides2},
        {ColdBase(DuelType::Pistols, {{"ShAtack1", ""}, {"ShAtack2", "zz"}}), ""},
    };
    for (const auto& [request, message] : cases) {
        EXPECT_EQ(PrepareDuel(request).message, message);
        ListClock clock({1});
        Dice dice(clock);
        const DuelScreenTexts screen = RunDuelRequest(request, dice);
        EXPECT_EQ(screen.ErrorText, message);
        if (*message) {
            EXPECT_EQ(screen.InfoBM1, "");
            EXPECT_EQ(screen.InfoBM2, "");
        } else {
            EXPECT_NE(screen.InfoBM1, "");
        }
    }
}

TEST(AttackSchemes, LongSchemeUsesItsFirstHundredDigits) {
    std::string scheme(150, '2');
    scheme.replace(0, 100, std::string(100, '5'));  // digits 101..150 are 2
    DuelRequest request = ColdBase(DuelType::ColdWeapons, {{"BP1", "9999"}, {"BP2", "9999"}, {"ShAtack2", "1"}});
    request.duellists[0].scheme = scheme;
    ListClock clock({ReadingForDice(2, 2)});
    Dice dice(clock);
    const DuelScreenTexts screen = RunDuelRequest(request, dice);
    EXPECT_EQ(screen.ErrorText, texts::kLongDuel);
    EXPECT_EQ(screen.InfoBM1.find("(2"), std::string::npos) << "a digit past the 100th was used";
}

DuelScreenTexts Fight(const DuelRequest& request, std::vector<std::uint64_t> readings) {
    ListClock clock(std::move(readings));
    Dice dice(clock);
    return RunDuelRequest(request, dice);
}

TEST(DuelRequest, PistolWorkedExample) {
    const DuelRequest request =
        Request(DuelType::Pistols, {{"BP1", "30"}, {"OgnOr1", "12"}, {"HolOr1", "1"}, {"StrZ1", "3"},
                                    {"BP2", "20"}, {"OgnOr2", "9"}, {"HolOr2", "1"}, {"StrZ2", "4"}});
    const DuelScreenTexts screen = Fight(request, ReadingsForMoves({{4, 2}, {6, 5}}));
    EXPECT_EQ(screen.InfoBM1, "30 | 30(4) | 24(6) | 24;");
    EXPECT_EQ(screen.InfoBM2, "20 | 12(2) | -8(5) | убит: поражение;");
    EXPECT_EQ(screen.ErrorText, "");
}

TEST(DuelRequest, ColdWorkedMoveRepeatedUntilAFall) {
    // Duellist 2 wears the noble costume; the same dice (6, 3) every move.
    const DuelRequest request = Request(
        DuelType::ColdWeapons,
        {{"BP1", "30"}, {"OgnOr1", "1"}, {"HolOr1", "10"}, {"StrZ1", "2"}, {"StrSt11", "1"}, {"StrSt12", "2"},
         {"StrSt13", "3"}, {"ShAtack1", "4"}, {"BP2", "25"}, {"OgnOr2", "1"}, {"HolOr2", "8"}, {"StrZ2", "0"},
         {"StrSt21", "4"}, {"StrSt22", "5"}, {"StrSt23", "6"}, {"StrSt24", "1"}, {"ShAtack2", "5"}});
    const DuelScreenTexts screen = Fight(request, {ReadingForDice(6, 3)});
    EXPECT_EQ(screen.InfoBM1, "30 | 24(4+/X) | 18(4+/X) | 12(4+/X) | 12;");
    EXPECT_EQ(screen.InfoBM2, "25 | 15(5=/4) | 5(5=/4) | -5(5=/4) | убит: поражение;");
    EXPECT_EQ(screen.ErrorText, "");
}

TEST(DuelRequest, MixedWorkedExampleFirstFiveMoves) {
    const DuelRequest request = Request(
        DuelType::Mixed,
        {{"BP1", "300"}, {"OgnOr1", "5"}, {"HolOr1", "10"}, {"StrZ1", "2"}, {"StrSt11", "1"}, {"StrSt12", "2"},
         {"StrSt13", "3"}, {"ShAtack1", "123456"}, {"BP2", "300"}, {"OgnOr2", "5"}, {"HolOr2", "8"},
         {"StrZ2", "0"}, {"StrSt21", "4"}, {"StrSt22", "5"}, {"StrSt23", "6"}, {"StrSt24", "1"},
         {"ShAtack2", "654321"}});
    const DuelScreenTexts screen = Fight(request, ReadingsForMoves({{2, 5}, {3, 4}, {6, 6}, {1, 2}, {4, 4}}));
    const std::string log1 = "300 | 297(2) | 291(2=/X) | 277(3+/X) | 277(4-/3) | 274(4) |";
    const std::string log2 = "300 | 300(5) | 290(5=/X) | 270(4+/X) | 270(3=/4) | 265(4) |";
    EXPECT_EQ(screen.InfoBM1.substr(0, log1.size()), log1);
    EXPECT_EQ(screen.InfoBM2.substr(0, log2.size()), log2);
}

TEST(DuelRequest, HeaderWritesTheHealthValueNotTheText) {
    const DuelRequest request =
        Request(DuelType::Pistols, {{"BP1", "030"}, {"OgnOr1", "50"}, {"HolOr1", "1"}, {"StrZ1", "0"},
                                    {"BP2", "$1E"}, {"OgnOr2", "1"}, {"HolOr2", "1"}, {"StrZ2", "0"}});
    const DuelScreenTexts screen = Fight(request, {ReadingForDice(6, 1)});
    // Decided in move 1: header, one entry, end piece.
    EXPECT_EQ(screen.InfoBM1, "30 | 30(6) | 30;");
    EXPECT_EQ(screen.InfoBM2, "30 | -70(1) | убит: поражение;");
}

TEST(DuelRequest, UndecidedDuelFillsTheMessageLine) {
    const DuelRequest request = PistolBase();
    const DuelScreenTexts screen = Fight(request, {ReadingForDice(3, 1)});
    EXPECT_EQ(screen.ErrorText, texts::kLongDuel);
    std::string log1 = "30 |";
    std::string log2 = "25 |";
    for (int i = 0; i < 100; ++i) {
        log1 += " 30(3) |";
        log2 += " 25(1) |";
    }
    EXPECT_EQ(screen.InfoBM1, log1 + " боец покидает арену непобеждённым.");
    EXPECT_EQ(screen.InfoBM2, log2 + " боец покидает арену непобеждённым.");
}

TEST(DuelRequest, BothFallInTheSameMove) {
    const DuelRequest request = PistolBase({{"BP1", "5"}, {"BP2", "5"}, {"StrZ1", "0"}, {"StrZ2", "0"}});
    const DuelScreenTexts screen = Fight(request, {ReadingForDice(6, 6)});
    EXPECT_EQ(screen.InfoBM1, "5 | -13(6) | убит: ничья;");
    EXPECT_EQ(screen.InfoBM2, "5 | -19(6) | убит: ничья;");
    EXPECT_EQ(screen.ErrorText, "");
}

TEST(DuelRequest, RefusalLeavesBothLogsEmpty) {
    const DuelScreenTexts screen = Fight(DuelRequest::StartUp(), {1});
    EXPECT_EQ(screen.InfoBM1, "");
    EXPECT_EQ(screen.InfoBM2, "");
    EXPECT_EQ(screen.ErrorText, texts::kInputError);
}

TEST(DuelMoves, PistolRule) {
    struct Case {
        int die, firearm, armour, damage;
    };
    const Case cases[] = {
        {1, 12, 3, 0}, {2, 12, 3, 0},  {3, 12, 3, 0},   {4, 12, 3, 9},    {5, 12, 3, 9},  {6, 12, 3, 21},
        {4, 5, 5, 0},  {5, 5, 5, 0},   {6, 5, 5, 5},    {4, 5, 10, 0},    {6, 5, 10, 0},  {6, 5, 11, 0},
        {4, 5, -3, 8}, {6, 5, -3, 13}, {4, 9999, 0, 9999}, {6, 9999, -999, 20997},
    };
    for (const Case& c : cases) EXPECT_EQ(ResolveShot(c.die, c.firearm, c.armour), c.damage) << c.die;
}

TEST(DuelMoves, ColdRule) {
    struct Case {
        int die;
        bool parried;
        int cold, armour, damage;
    };
    const Case cases[] = {
        {1, false, 10, 0, 0}, {2, false, 10, 2, 8}, {5, false, 10, 2, 8},  {6, false, 10, 2, 18},
        {1, true, 10, 0, 0},  {2, true, 10, 0, 0},  {5, true, 10, 0, 0},   {6, true, 10, 0, 10},
        {6, true, 10, 2, 8},  {3, false, 2, 5, 0},  {6, false, 2, 5, 0},   {6, true, 2, 2, 0},
        {4, false, 3, -3, 6},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveStrike(c.die, c.parried, c.cold, c.armour), c.damage) << c.die << c.parried;
}

TEST(DuelMoves, FourthSideParriesOnlyWithTheCostume) {
    const std::array<std::int32_t, 3> sides{4, 5, 6};
    EXPECT_EQ(FindParryingSide(5, sides, 1, false), 5);
    EXPECT_EQ(FindParryingSide(1, sides, 1, true), 1);
    EXPECT_EQ(FindParryingSide(1, sides, 1, false), 0);
    EXPECT_EQ(FindParryingSide(2, sides, 1, true), 0);
    EXPECT_EQ(FindParryingSide(3, sides, 0, false), 0);
}

TEST(DuelMoves, WeaponOfEachMove) {
    for (int move = 1; move <= 100; ++move) {
        EXPECT_EQ(WeaponOfMove(DuelType::Pistols, move), Weapon::Pistol);
        EXPECT_EQ(WeaponOfMove(DuelType::ColdWeapons, move), Weapon::ColdWeapon);
        const bool pistol = move == 1 || move % 5 == 0;
        EXPECT_EQ(WeaponOfMove(DuelType::Mixed, move), pistol ? Weapon::Pistol : Weapon::ColdWeapon) << move;
    }
}

Duellist Fighter(std::int32_t health, std::int32_t points, std::int32_t armour, std::string scheme = {}) {
    Duellist d;
    d.health = health;
    d.firearm = points;
    d.cold = points;
    d.armour = armour;
    d.strong = {1, 2, 3};
    d.scheme = std::move(scheme);
    return d;
}

TEST(DuelMoves, ReseedBeforeEveryMove) {
    CountingClock clock(0);
    Dice dice(clock);
    const FoughtMoves result = RunDuel(Fighter(9999, 1, 100), Fighter(9999, 1, 100), DuelType::Pistols, dice);
    ASSERT_EQ(result.moves.size(), 100u);
    EXPECT_EQ(result.ending, DuelEnding::Undecided);
    for (std::size_t i = 0; i < result.moves.size(); ++i) {
        ListClock single({i});
        Dice expected(single);
        expected.Reseed();
        EXPECT_EQ(result.moves[i].die1, expected.Die());
        EXPECT_EQ(result.moves[i].die2, expected.Die());
    }
}

TEST(DuelMoves, AFallInMoveHundredDecidesTheDuel) {
    std::vector<std::uint64_t> readings(99, ReadingForDice(1, 1));
    readings.push_back(ReadingForDice(6, 1));
    ListClock clock(readings);
    Dice dice(clock);
    const FoughtMoves result = RunDuel(Fighter(10, 5, 0), Fighter(10, 5, 0), DuelType::Pistols, dice);
    ASSERT_EQ(result.moves.size(), 100u);
    EXPECT_EQ(result.ending, DuelEnding::Duellist1Wins);
    EXPECT_EQ(result.moves.back().health2, 0);  // exactly 0 counts as fallen
}

TEST(DuelMoves, MixedDuelNeverReadsSchemeDigitsOfPistolMoves) {
    // A 7 at every pistol position would be refused by the scheme check;
    // RunDuel itself is handed it to prove the digit is never read.
    std::string scheme(100, '2');
    for (int move = 1; move <= 100; ++move)
        if (move == 1 || move % 5 == 0) scheme[static_cast<std::size_t>(move - 1)] = 'z';
    ListClock clock({ReadingForDice(2, 2)});
    Dice dice(clock);
    const FoughtMoves result = RunDuel(Fighter(9999, 1, 9, std::string(100, '1')), Fighter(9999, 1, 9, scheme),
                                      DuelType::Mixed, dice);
    ASSERT_EQ(result.moves.size(), 100u);
    for (const MoveRecord& m : result.moves) {
        if (m.weapon == Weapon::ColdWeapon) {
            EXPECT_EQ(m.attack2, '2');
        }
    }
}

TEST(DuelMoves, HealthIsNotClampedAtZero) {
    ListClock clock({ReadingForDice(6, 1)});
    Dice dice(clock);
    const FoughtMoves result = RunDuel(Fighter(30, 10, 0), Fighter(3, 10, 0), DuelType::Pistols, dice);
    ASSERT_EQ(result.moves.size(), 1u);
    EXPECT_EQ(result.moves[0].health2, -17);
}

TEST(DuelMoves, SchemeTooShortForTheMoveIsAConversionError) {
    // RunDuel relies on schemes of 100 digits; a shorter one is caught by
    // the conversion error rather than read past its end.
    ListClock clock({ReadingForDice(1, 1)});
    Dice dice(clock);
    EXPECT_THROW(RunDuel(Fighter(30, 5, 0, "12"), Fighter(30, 5, 0, "12"), DuelType::ColdWeapons, dice),
                 EConvertError);
}

TEST(MoveLogs, ParryAndDieMarks) {
    MoveRecord move;
    move.number = 1;
    move.weapon = Weapon::ColdWeapon;
    const struct {
        int die;
        std::uint8_t parry;
        const char* entry;
    } cases[] = {{1, 0, "7(3-/X) |"}, {2, 0, "7(3=/X) |"}, {5, 4, "7(3=/4) |"}, {6, 6, "7(3+/6) |"}};
    for (const auto& c : cases) {
        move.die1 = c.die;
        move.attack1 = '3';
        move.parry1 = c.parry;
        move.health1 = 7;
        move.health2 = 1;
        const MoveLogs logs = WriteMoveLogs(9, 9, {move}, DuelEnding::Duellist1Wins);
        EXPECT_EQ(logs.log1, std::string("9 | ") + c.entry + " 7;");
        EXPECT_EQ(logs.message, "");
    }
}

TEST(MoveLogs, FullDuelLogStaysUnder1400Characters) {
    std::vector<MoveRecord> moves(100);
    for (int i = 0; i < 100; ++i) {
        moves[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i + 1), Weapon::ColdWeapon, 6, 6, '1', '1',
                                              6, 6, 9999, 9999};
    }
    const MoveLogs logs = WriteMoveLogs(9999, 9999, moves, DuelEnding::Undecided);
    EXPECT_LT(logs.log1.size() - std::string(texts::kLogUndecidedEnd).size(), 1400u);
}

}  // namespace
}  // namespace saberline

namespace saberline {
namespace {

// Numbers longer than the screen's fields allow: damage stays at least 0 and
// healths never wrap round to a standing value.
TEST(DuelMoves, HugeNumbersNeitherWrapDamageNorHealth) {
    EXPECT_EQ(ResolveShot(4, INT32_MAX, -1), INT32_MAX);
    EXPECT_EQ(ResolveShot(6, INT32_MAX, INT32_MIN), INT32_MAX);
    EXPECT_EQ(ResolveShot(6, 1200000000, 0), INT32_MAX);
    EXPECT_EQ(ResolveShot(6, 1200000000, 2147483647), 252516353);
    EXPECT_EQ(ResolveStrike(6, false, INT32_MAX, INT32_MIN), INT32_MAX);
    EXPECT_EQ(ResolveStrike(2, false, INT32_MIN + 1, INT32_MAX), 0);
    ListClock clock({ReadingForDice(6, 6)});
    Dice dice(clock);
    const FoughtMoves result =
        RunDuel(Fighter(1, INT32_MAX, INT32_MIN), Fighter(1, INT32_MAX, INT32_MIN), DuelType::Pistols, dice);
    ASSERT_EQ(result.moves.size(), 1u);
    EXPECT_EQ(result.moves[0].health1, 1 - INT32_MAX);
    EXPECT_EQ(result.ending, DuelEnding::BothFell);
}

}  // namespace
}  // namespace saberline
