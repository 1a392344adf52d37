#include "Odds.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "Dice.h"
#include "Duel.h"
#include "DuelParts.h"
#include "Texts.h"

namespace saberline {
namespace {

// One duellist's fields on the duel screen.
struct Fields {
    std::string health, firearm, cold, armour;
    std::array<std::string, 4> strong{"1", "2", "3", ""};
    std::string scheme = "1";
};

DuelRequest Request(DuelType type, const Fields& f1, const Fields& f2) {
    DuelRequest request;
    request.type = type;
    const Fields* fields[2] = {&f1, &f2};
    for (std::size_t d = 0; d < 2; ++d) {
        DuellistFields& out = request.duellists[d];
        out.health = fields[d]->health;
        out.firearm = fields[d]->firearm;
        out.cold = fields[d]->cold;
        out.armour = fields[d]->armour;
        out.strong = fields[d]->strong;
        out.scheme = fields[d]->scheme;
    }
    return request;
}

double Total(const DuelOdds& odds) { return odds.duellist1 + odds.duellist2 + odds.bothFell + odds.undecided; }

bool IsPistolMove(DuelType type, int move) {
    if (type == DuelType::Pistols) return true;
    if (type == DuelType::ColdWeapons) return false;
    return move == 1 || move % 5 == 0;
}

// Duels in which any hit that deals damage kills: each move, duellist 1 hits
// with chance h1 and duellist 2 with chance h2 (by weapon), independently.
// The duel goes on exactly while both miss, so the odds follow by hand from
// the chance of reaching each move.
struct OneHitCase {
    const char* what;
    DuelType type;
    Fields f1, f2;
    double pistolHit1, pistolHit2, coldHit1, coldHit2;
};

void PrintTo(const OneHitCase& c, std::ostream* os) { *os << c.what; }

class OneHitDuels : public ::testing::TestWithParam<OneHitCase> {};

TEST_P(OneHitDuels, MatchTheGeometricOdds) {
    const OneHitCase& c = GetParam();
    const DuelOdds odds = ComputeOdds(Request(c.type, c.f1, c.f2));
    ASSERT_EQ(odds.ErrorText, "");
    double reach = 1;  // chance that move n is played
    double win1 = 0, win2 = 0, both = 0, moves = 0;
    for (int n = 1; n <= 100; ++n) {
        const bool pistol = IsPistolMove(c.type, n);
        const double h1 = pistol ? c.pistolHit1 : c.coldHit1;
        const double h2 = pistol ? c.pistolHit2 : c.coldHit2;
        moves += reach;
        win1 += reach * h1 * (1 - h2);
        win2 += reach * (1 - h1) * h2;
        both += reach * h1 * h2;
        reach *= (1 - h1) * (1 - h2);
        // How the duel stands by the end of move n.
        const MoveOdds& by = odds.byMove[static_cast<std::size_t>(n - 1)];
        EXPECT_NEAR(by.duellist1, win1, 1e-13) << "move " << n;
        EXPECT_NEAR(by.duellist2, win2, 1e-13) << "move " << n;
        EXPECT_NEAR(by.bothFell, both, 1e-13) << "move " << n;
        EXPECT_NEAR(by.going, reach, 1e-13) << "move " << n;
    }
    EXPECT_NEAR(odds.duellist1, win1, 1e-13);
    EXPECT_NEAR(odds.duellist2, win2, 1e-13);
    EXPECT_NEAR(odds.bothFell, both, 1e-13);
    EXPECT_NEAR(odds.undecided, reach, 1e-13);
    EXPECT_NEAR(odds.expectedMoves, moves, 1e-11);
    EXPECT_NEAR(Total(odds), 1.0, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    HandComputed, OneHitDuels,
    ::testing::Values(
        // 4, 5 deal 1 and 6 deals 2: half of all shots kill.
        OneHitCase{"pistols, health 1, firearm 1", DuelType::Pistols, {"1", "1", "1", "0"}, {"1", "1", "1", "0"},
                   0.5, 0.5, 0, 0},
        // Armour 1 against firearm 1: only a 6 (2 - 1) hurts.
        OneHitCase{"pistols, armour equal to firearm", DuelType::Pistols, {"1", "1", "1", "0"},
                   {"1", "1", "1", "1"}, 1.0 / 6, 0.5, 0, 0},
        // Armour -3 turns a 4 from firearm 1 into 4 damage, enough for
        // health 4; firearm 5 gets through armour 9 only on a 6.
        OneHitCase{"pistols, negative armour and a high threshold", DuelType::Pistols, {"4", "5", "1", "-3"},
                   {"1", "1", "1", "9"}, 1.0 / 6, 0.5, 0, 0},
        // Every attack meets a strong side: only a 6 deals damage.
        OneHitCase{"cold, every attack parried", DuelType::ColdWeapons,
                   {"1", "1", "1", "0", {"1", "2", "3", ""}, "456"},
                   {"1", "1", "1", "0", {"4", "5", "6", ""}, "321"}, 0, 0, 1.0 / 6, 1.0 / 6},
        // Duellist 2's attack 4 is not parried: 2 to 6 hurt.
        OneHitCase{"cold, one side parried", DuelType::ColdWeapons,
                   {"1", "1", "1", "0", {"1", "2", "3", ""}, "465"},
                   {"1", "1", "1", "0", {"4", "5", "6", ""}, "4"}, 0, 0, 1.0 / 6, 5.0 / 6},
        // The fourth strong side of the noble costume parries attack 4.
        OneHitCase{"cold, the noble costume's fourth side parries", DuelType::ColdWeapons,
                   {"1", "1", "1", "0", {"1", "2", "3", "4"}, "5"},
                   {"1", "1", "1", "0", {"1", "2", "3", ""}, "4"}, 0, 0, 5.0 / 6, 1.0 / 6},
        // Armour 1 against cold 1: an unparried 2 to 5 deals 0, a 6 deals 1.
        OneHitCase{"cold, armour equal to the cold-weapon points", DuelType::ColdWeapons,
                   {"1", "1", "1", "0", {"1", "2", "3", ""}, "1"},
                   {"1", "1", "1", "1", {"4", "5", "6", ""}, "5"}, 0, 0, 1.0 / 6, 5.0 / 6},
        // Pistol moves 1, 5, 10, ... hit on 4 to 6; cold moves on 2 to 6.
        OneHitCase{"mixed, unparried", DuelType::Mixed, {"1", "1", "1", "0", {"1", "2", "3", ""}, "1"},
                   {"1", "1", "1", "0", {"4", "5", "6", ""}, "4"}, 0.5, 0.5, 5.0 / 6, 5.0 / 6},
        // Duellist 1 cannot be shot (armour 2 = twice firearm 1) and parries
        // everything; duellist 2 is shot on 4 to 6 and never parries.
        OneHitCase{"mixed, lopsided", DuelType::Mixed, {"1", "1", "1", "2", {"1", "2", "3", ""}, "4"},
                   {"1", "1", "1", "0", {"5", "6", "3", ""}, "3213"}, 0.5, 0, 5.0 / 6, 0}),
    [](const ::testing::TestParamInfo<OneHitCase>& info) { return "Case" + std::to_string(info.index); });

TEST(Odds, ADuelNoDieCanDecideIsUndecidedAfterAHundredMoves) {
    // Armour at least twice the attacker's points: no die ever deals damage.
    const Fields f1{"5", "3", "3", "6", {"1", "2", "3", ""}, "123"};
    const Fields f2{"7", "3", "3", "9999", {"4", "5", "6", ""}, "456"};
    for (DuelType type : {DuelType::Pistols, DuelType::ColdWeapons, DuelType::Mixed}) {
        const DuelOdds odds = ComputeOdds(Request(type, f1, f2));
        ASSERT_EQ(odds.ErrorText, "");
        EXPECT_EQ(odds.undecided, 1.0);
        EXPECT_EQ(odds.duellist1, 0.0);
        EXPECT_EQ(odds.duellist2, 0.0);
        EXPECT_EQ(odds.bothFell, 0.0);
        EXPECT_DOUBLE_EQ(odds.expectedMoves, 100.0);
    }
}

TEST(Odds, ADuellistWhoCannotBeHurtNeverLoses) {
    // Duellist 2 is out of reach; duellist 1 needs two sixes of firearm 3
    // against armour 0 at health 12, or four hits of 4 or 5.
    const DuelOdds odds =
        ComputeOdds(Request(DuelType::Pistols, {"12", "2", "1", "0"}, {"30", "3", "1", "4"}));
    EXPECT_EQ(odds.duellist1, 0.0);
    EXPECT_EQ(odds.bothFell, 0.0);
    EXPECT_GT(odds.duellist2, 0.999);
    EXPECT_NEAR(odds.duellist2 + odds.undecided, 1.0, 1e-12);
}

TEST(Odds, ARefusedRequestGivesTheDuelScreensMessageAndNoOdds) {
    const Fields good1{"30", "5", "5", "0", {"1", "2", "3", ""}, "123"};
    const Fields good2{"30", "5", "5", "0", {"4", "5", "6", ""}, "456"};
    struct Refusal {
        DuelType type;
        Fields f1, f2;
        const char* message;
    };
    Fields noFirearm = good1;
    noFirearm.firearm = "";
    Fields zeroCold = good2;
    zeroCold.cold = "0";
    Fields costumeWithArmour = good1;
    costumeWithArmour.strong[3] = "4";
    costumeWithArmour.armour = "1";
    Fields twice = good2;
    twice.strong = {"4", "5", "4", ""};
    Fields noScheme = good1;
    noScheme.scheme = "";
    Fields badScheme = good2;
    badScheme.scheme = "1237";
    const Refusal refusals[] = {
        {DuelType::Pistols, noFirearm, good2, texts::kInputError},
        {DuelType::Mixed, good1, zeroCold, texts::kInputError},
        {DuelType::ColdWeapons, costumeWithArmour, good2, texts::kCostumeError},
        {DuelType::ColdWeapons, good1, twice, texts::kDuplicateSides2},
        {DuelType::Mixed, noScheme, good2, texts::kSchemeEmpty1},
        {DuelType::ColdWeapons, good1, badScheme, texts::kSchemeBad2},
    };
    for (const Refusal& r : refusals) {
        const DuelRequest request = Request(r.type, r.f1, r.f2);
        const DuelOdds odds = ComputeOdds(request);
        EXPECT_EQ(odds.ErrorText, r.message);
        CountingClock clock;
        Dice dice(clock);
        EXPECT_EQ(odds.ErrorText, RunDuelRequest(request, dice).ErrorText);
        EXPECT_EQ(Total(odds), 0.0);
        EXPECT_EQ(odds.expectedMoves, 0.0);
    }
    // A pistol duel reads no scheme: the same bad scheme is no refusal there.
    EXPECT_EQ(ComputeOdds(Request(DuelType::Pistols, good1, badScheme)).ErrorText, "");
}

TEST(Odds, NumbersBeyondTheScreenGiveTheOddsOfTheSameDuelScaledDown) {
    // Multiplying every health, point and armour by the same factor leaves
    // every hit and every fall as it was. The scaled duel spreads its healths
    // far wider than the small one.
    const Fields small1{"10", "3", "4", "1", {"1", "2", "3", ""}, "4152"};
    const Fields small2{"7", "2", "5", "0", {"4", "5", "6", ""}, "36"};
    const Fields large1{"1000000000", "300000000", "400000000", "100000000", {"1", "2", "3", ""}, "4152"};
    const Fields large2{"700000000", "200000000", "500000000", "0", {"4", "5", "6", ""}, "36"};
    for (DuelType type : {DuelType::Pistols, DuelType::ColdWeapons, DuelType::Mixed}) {
        const DuelOdds small = ComputeOdds(Request(type, small1, small2));
        const DuelOdds large = ComputeOdds(Request(type, large1, large2));
        ASSERT_EQ(large.ErrorText, "");
        EXPECT_NEAR(large.duellist1, small.duellist1, 1e-13);
        EXPECT_NEAR(large.duellist2, small.duellist2, 1e-13);
        EXPECT_NEAR(large.bothFell, small.bothFell, 1e-13);
        EXPECT_NEAR(large.undecided, small.undecided, 1e-13);
        EXPECT_NEAR(large.expectedMoves, small.expectedMoves, 1e-11);
        EXPECT_GT(small.duellist1, 0.01);
        EXPECT_GT(small.duellist2, 0.01);
    }
}

TEST(Odds, TheLargestDuelsOfTheScreenSumToOne) {
    const Fields slow{"9999", "1", "1", "0", {"1", "2", "3", ""}, "4"};
    const Fields wide1{"9999", "9999", "999", "-999", {"1", "2", "3", ""}, "415263"};
    const Fields wide2{"9999", "130", "99", "-99", {"4", "5", "6", ""}, "1"};
    for (DuelType type : {DuelType::Pistols, DuelType::ColdWeapons, DuelType::Mixed}) {
        const DuelOdds hitsOfOne = ComputeOdds(Request(type, slow, slow));
        EXPECT_NEAR(Total(hitsOfOne), 1.0, 1e-12);
        EXPECT_NEAR(hitsOfOne.undecided, 1.0, 1e-12);  // 100 moves deal at most 200
        const DuelOdds wide = ComputeOdds(Request(type, wide1, wide2));
        EXPECT_NEAR(Total(wide), 1.0, 1e-12);
        EXPECT_GT(wide.duellist1, 0.0);
    }
}

// The odds worked out the plain way: each duellist's healths in a map,
// pushed through every move with the duel's own damage rules.
DuelOdds ReferenceOdds(const Duellist& d1, const Duellist& d2, DuelType type) {
    std::map<std::int64_t, double> h1{{d1.health, 1.0}}, h2{{d2.health, 1.0}};
    const auto push = [](std::map<std::int64_t, double>& healths, const Duellist& attacker,
                         const Duellist& defender, Weapon weapon, int move) {
        std::map<std::int64_t, double> next;
        double fallen = 0;
        for (const auto& [health, p] : healths)
            for (std::int32_t die = 1; die <= 6; ++die) {
                const std::int32_t damage =
                    weapon == Weapon::Pistol
                        ? ResolveShot(die, attacker.firearm, defender.armour)
                        : ResolveStrike(die,
                                        FindParryingSide(AttackDigit(attacker.scheme, move), defender.strong,
                                                         defender.fourth, defender.nobleCostume) != 0,
                                        attacker.cold, defender.armour);
                if (health - damage < 1) fallen += p / 6;
                else next[health - damage] += p / 6;
            }
        healths.swap(next);
        return fallen;
    };
    const auto total = [](const std::map<std::int64_t, double>& healths) {
        double sum = 0;
        for (const auto& entry : healths) sum += entry.second;
        return sum;
    };
    DuelOdds odds;
    for (int move = 1; move <= kMaxMoves; ++move) {
        if (!h1.empty() && !h2.empty()) {
            odds.expectedMoves += total(h1) * total(h2);
            const Weapon weapon = WeaponOfMove(type, move);
            const double fell1 = push(h1, d2, d1, weapon, move);
            const double fell2 = push(h2, d1, d2, weapon, move);
            odds.duellist1 += total(h1) * fell2;
            odds.duellist2 += fell1 * total(h2);
            odds.bothFell += fell1 * fell2;
        }
        odds.byMove[static_cast<std::size_t>(move - 1)] =
            MoveOdds{odds.duellist1, odds.duellist2, odds.bothFell, total(h1) * total(h2)};
    }
    odds.undecided = total(h1) * total(h2);
    return odds;
}

TEST(Odds, LargeHitsWithFewReachableHealthsAgreeWithThePlainWay) {
    // Hits of hundreds or thousands on healths of thousands leave only a few
    // healths reachable across a wide range; small hits then fill the range in.
    struct Case {
        DuelType type;
        Fields f1, f2;
    };
    const Case cases[] = {
        {DuelType::Pistols, {"9999", "1999", "1", "0"}, {"9999", "1999", "1", "0"}},
        {DuelType::Pistols, {"9999", "4999", "1", "0"}, {"9999", "1", "1", "0"}},
        {DuelType::ColdWeapons, {"9999", "1", "999", "0", {"1", "2", "3", ""}, "4"},
         {"9999", "1", "1", "0", {"4", "5", "6", ""}, "1"}},
        {DuelType::Mixed, {"3000", "500", "12", "0", {"1", "2", "3", ""}, "4"},
         {"3000", "450", "11", "0", {"4", "5", "6", ""}, "2"}},
        {DuelType::Mixed, {"2000", "600", "1", "0", {"1", "2", "3", ""}, "1"},
         {"2000", "600", "1", "0", {"4", "5", "6", ""}, "4"}},
        {DuelType::Mixed, {"9999", "1999", "3", "0", {"1", "2", "3", ""}, "45"},
         {"9999", "777", "2", "1", {"4", "5", "6", ""}, "12"}},
    };
    for (const Case& c : cases) {
        const DuelRequest request = Request(c.type, c.f1, c.f2);
        const Validation prepared = PrepareDuel(request);
        ASSERT_EQ(prepared.message, "");
        const DuelOdds odds = ComputeOdds(request);
        const DuelOdds plain = ReferenceOdds(prepared.duellists[0], prepared.duellists[1], c.type);
        SCOPED_TRACE(c.f1.health + " / " + c.f1.firearm + " / " + c.f1.cold);
        EXPECT_NEAR(odds.duellist1, plain.duellist1, 1e-12);
        EXPECT_NEAR(odds.duellist2, plain.duellist2, 1e-12);
        EXPECT_NEAR(odds.bothFell, plain.bothFell, 1e-12);
        EXPECT_NEAR(odds.undecided, plain.undecided, 1e-12);
        EXPECT_NEAR(odds.expectedMoves, plain.expectedMoves, 1e-10);
        EXPECT_NEAR(Total(odds), 1.0, 1e-12);
        for (std::size_t n = 0; n < odds.byMove.size(); ++n) {
            EXPECT_NEAR(odds.byMove[n].duellist1, plain.byMove[n].duellist1, 1e-12) << "move " << n + 1;
            EXPECT_NEAR(odds.byMove[n].duellist2, plain.byMove[n].duellist2, 1e-12) << "move " << n + 1;
            EXPECT_NEAR(odds.byMove[n].bothFell, plain.byMove[n].bothFell, 1e-12) << "move " << n + 1;
            EXPECT_NEAR(odds.byMove[n].going, plain.byMove[n].going, 1e-12) << "move " << n + 1;
        }
    }
}

TEST(Odds, RandomDuelsOfTheScreenSumToOne) {
    // Healths, points and armour across what the screen's fields hold; mass
    // lost or counted twice anywhere in a move shows in the total.
    std::mt19937_64 engine(7);
    const auto draw = [&](int lo, int hi) {
        return std::to_string(std::uniform_int_distribution<int>(lo, hi)(engine));
    };
    const DuelType types[] = {DuelType::Pistols, DuelType::ColdWeapons, DuelType::Mixed};
    for (int i = 0; i < 300; ++i) {
        const int scale = i % 3 == 0 ? 9999 : i % 3 == 1 ? 300 : 40;
        Fields f1{draw(1, scale), draw(1, scale / 4 + 1), draw(1, scale / 4 + 1), draw(-scale / 10, scale / 10),
                  {"1", "2", "3", ""}, draw(1, 6) + draw(1, 6) + draw(1, 6)};
        Fields f2{draw(1, scale), draw(1, scale / 4 + 1), draw(1, scale / 4 + 1), draw(-scale / 10, scale / 10),
                  {"2", "4", "6", ""}, draw(1, 6) + draw(1, 6)};
        const DuelOdds odds = ComputeOdds(Request(types[i % 3], f1, f2));
        ASSERT_EQ(odds.ErrorText, "");
        EXPECT_NEAR(Total(odds), 1.0, 1e-12) << f1.health << " " << f2.health;
        for (double p : {odds.duellist1, odds.duellist2, odds.bothFell, odds.undecided}) {
            EXPECT_GE(p, 0.0);
            EXPECT_LE(p, 1.0);
        }
        EXPECT_GE(odds.expectedMoves, 1.0);
        EXPECT_LE(odds.expectedMoves, 100.0);
        // Move by move: every entry sums to 1, the chances of an ending only
        // grow, that of the duel going on only shrinks, and move 100's entry
        // is the figures themselves.
        MoveOdds before{0, 0, 0, 1};
        for (const MoveOdds& by : odds.byMove) {
            EXPECT_NEAR(by.duellist1 + by.duellist2 + by.bothFell + by.going, 1.0, 1e-12);
            EXPECT_GE(by.duellist1, before.duellist1);
            EXPECT_GE(by.duellist2, before.duellist2);
            EXPECT_GE(by.bothFell, before.bothFell);
            EXPECT_LE(by.going, before.going);
            before = by;
        }
        EXPECT_EQ(before.duellist1, odds.duellist1);
        EXPECT_EQ(before.duellist2, odds.duellist2);
        EXPECT_EQ(before.bothFell, odds.bothFell);
        EXPECT_EQ(before.going, odds.undecided);
    }
}

TEST(Odds, TheSummaryNamesTheMoveByWhichTheDuelIsDecidedWithNinetyPercentCertainty) {
    // The summary's texts speak of the certainty the summary uses.
    const std::string certainty = std::to_string(static_cast<int>(kOddsSummaryCertainty * 100 + 0.5)) + " %";
    EXPECT_NE(std::string(texts::kOddsSummaryDecided).find(certainty), std::string::npos);
    struct Case {
        const char* what;
        DuelType type;
        Fields f1, f2;
        int move;  // 0: not decided with 90 % certainty within 100 moves
        std::string summary;
    };
    const Case cases[] = {
        // Half of all shots kill: the duel goes on past move n with chance
        // 4^-n, 1/4 after move 1, 1/16 after move 2.
        {"pistols, one hit kills", DuelType::Pistols, {"1", "1", "1", "0"}, {"1", "1", "1", "0"}, 2,
         "С вероятностью 90 % дуэль решится к 2-му ходу."},
        // Only a 6 hurts either: (25/36)^n falls to 0.1 by move 7.
        {"pistols, only sixes", DuelType::Pistols, {"1", "1", "1", "1"}, {"1", "1", "1", "1"}, 7,
         "С вероятностью 90 % дуэль решится к 7-му ходу."},
        // Nobody can be hurt.
        {"nobody hurt", DuelType::Pistols, {"5", "3", "3", "6"}, {"7", "3", "3", "9999"}, 0,
         "За 100 ходов дуэль решится лишь с вероятностью 0.0 %."},
    };
    for (const Case& c : cases) {
        const DuelOdds odds = ComputeOdds(Request(c.type, c.f1, c.f2));
        EXPECT_EQ(DecidedByMove(odds, kOddsSummaryCertainty), c.move) << c.what;
        EXPECT_EQ(OddsSummary(odds), c.summary) << c.what;
        if (c.move > 1) {
            EXPECT_GT(odds.byMove[static_cast<std::size_t>(c.move - 2)].going, 0.1) << c.what;
        }
    }
    // A duel decided within 100 moves with less than 90 % certainty: the
    // chance that it is decided.
    const DuelOdds slow = ComputeOdds(Request(DuelType::Pistols, {"120", "2", "1", "1"}, {"110", "2", "1", "1"}));
    ASSERT_EQ(DecidedByMove(slow, kOddsSummaryCertainty), 0);
    ASSERT_GT(slow.undecided, 0.1);
    EXPECT_EQ(OddsSummary(slow), "За 100 ходов дуэль решится лишь с вероятностью " +
                                     PercentText(1 - slow.undecided) + ".");
    // A refused request has no summary.
    EXPECT_EQ(OddsSummary(ComputeOdds(Request(DuelType::Pistols, {"0", "1", "1", "0"}, {"1", "1", "1", "0"}))), "");
}

// Dice on a deterministic stream of clock readings.
class MersenneClock final : public ClockSource {
public:
    explicit MersenneClock(std::uint64_t seed) : engine_(seed) {}
    std::uint64_t Read() override { return engine_(); }

private:
    std::mt19937_64 engine_;
};

struct SimulationCase {
    DuelType type;
    Fields f1, f2;
    int duels;
};

void PrintTo(const SimulationCase& c, std::ostream* os) {
    const char* types[] = {"", "pistols", "cold weapons", "mixed"};
    *os << types[static_cast<int>(c.type)] << ", healths " << c.f1.health << " and " << c.f2.health << ", "
        << c.duels << " duels";
}

class Simulation : public ::testing::TestWithParam<SimulationCase> {};

// The exact odds against the shares seen in many duels fought by RunDuel:
// each share lies within four standard errors of its probability.
TEST_P(Simulation, SharesLieWithinFourStandardErrorsOfTheOdds) {
    const SimulationCase& c = GetParam();
    const DuelRequest request = Request(c.type, c.f1, c.f2);
    const DuelOdds odds = ComputeOdds(request);
    ASSERT_EQ(odds.ErrorText, "");
    const Validation prepared = PrepareDuel(request);
    MersenneClock clock(20240611u + static_cast<std::uint64_t>(c.duels));
    Dice dice(clock);
    std::array<double, 4> count{};
    double moves = 0, movesSquared = 0;
    for (int i = 0; i < c.duels; ++i) {
        const FoughtMoves duel = RunDuel(prepared.duellists[0], prepared.duellists[1], c.type, dice);
        count[static_cast<std::size_t>(duel.ending)] += 1;
        const double m = static_cast<double>(duel.moves.size());
        moves += m;
        movesSquared += m * m;
    }
    const double n = c.duels;
    const std::array<double, 4> exact{odds.duellist1, odds.duellist2, odds.bothFell, odds.undecided};
    const char* names[4] = {"duellist 1 wins", "duellist 2 wins", "both fell", "undecided"};
    for (std::size_t k = 0; k < 4; ++k) {
        const double p = exact[k];
        const double bound = 4 * std::sqrt(p * (1 - p) / n) + 1e-12;
        EXPECT_NEAR(count[k] / n, p, bound) << names[k];
    }
    const double mean = moves / n;
    const double variance = movesSquared / n - mean * mean;
    EXPECT_NEAR(mean, odds.expectedMoves, 4 * std::sqrt(variance / n) + 1e-12);
    EXPECT_NEAR(Total(odds), 1.0, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    AgainstRunDuel, Simulation,
    ::testing::Values(
        // Pistols: short duels, an uneven one, and a long one that often
        // stays undecided.
        SimulationCase{DuelType::Pistols, {"30", "12", "1", "3"}, {"20", "9", "1", "4"}, 1000000},
        SimulationCase{DuelType::Pistols, {"40", "5", "1", "-2"}, {"25", "7", "1", "3"}, 1000000},
        SimulationCase{DuelType::Pistols, {"80", "2", "1", "1"}, {"75", "2", "1", "1"}, 200000},
        // Cold weapons: the noble costume, partial parries, schemes of
        // different lengths, and a long duel of parried attacks.
        SimulationCase{DuelType::ColdWeapons,
                       {"30", "1", "10", "2", {"1", "2", "3", ""}, "123456"},
                       {"25", "1", "8", "0", {"4", "5", "6", "1"}, "654321"},
                       1000000},
        SimulationCase{DuelType::ColdWeapons,
                       {"45", "1", "7", "1", {"2", "4", "6", ""}, "4"},
                       {"40", "1", "6", "-1", {"1", "3", "5", ""}, "1523"},
                       1000000},
        SimulationCase{DuelType::ColdWeapons,
                       {"45", "1", "3", "0", {"1", "2", "3", ""}, "4445"},
                       {"48", "1", "3", "0", {"4", "5", "6", ""}, "1123"},
                       200000},
        // Mixed: pistol and cold moves interleaved.
        SimulationCase{DuelType::Mixed,
                       {"60", "5", "10", "2", {"1", "2", "3", ""}, "123456"},
                       {"60", "5", "8", "0", {"4", "5", "6", "1"}, "654321"},
                       1000000},
        SimulationCase{DuelType::Mixed,
                       {"35", "15", "4", "3", {"1", "5", "6", ""}, "26"},
                       {"50", "6", "9", "1", {"2", "3", "4", ""}, "5"},
                       1000000}));

}  // namespace
}  // namespace saberline
