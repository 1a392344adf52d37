#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <vector>

#include "Dice.h"
#include "DiceStatistics.h"
#include "DuelParts.h"

namespace saberline {
namespace {

using testing::ChiSquaredTail;
using testing::DiceStatistics;
using testing::MeasureMoves;

std::vector<int> DiceFromSeed(std::uint32_t seed, int count) {
    ListClock clock({});
    Dice dice(clock);
    dice.SetSeed(seed);
    std::vector<int> result;
    for (int i = 0; i < count; ++i) result.push_back(dice.Die());
    return result;
}

TEST(Dice, SequencesFromChosenSeeds) {
    struct Case {
        std::uint32_t seed;
        std::vector<int> dice;
    };
    const Case cases[] = {
        {0u, {1, 1, 6, 2, 2, 5}},
        {0xFFFFFFFFu, {6, 2, 4, 1, 6, 1}},
        {5u, {1, 2, 4, 4, 2, 6}},
    };
    for (const Case& c : cases) EXPECT_EQ(DiceFromSeed(c.seed, 6), c.dice) << "seed " << c.seed;
}

TEST(Dice, StepIsTheLinearCongruence) {
    ListClock clock({});
    Dice dice(clock);
    dice.Throw(6);
    EXPECT_EQ(dice.Seed(), 1u);
    dice.Throw(6);
    EXPECT_EQ(dice.Seed(), 134775814u);
    dice.SetSeed(0xFFFFFFFFu);
    dice.Throw(6);
    EXPECT_EQ(dice.Seed(), static_cast<std::uint32_t>(0xFFFFFFFFull * 134775813ull + 1ull));
}

TEST(Dice, ReseedKeepsTheLow32BitsOfTheReading) {
    ListClock clock({(1ull << 32) + 5, 5});
    Dice dice(clock);
    dice.Reseed();
    EXPECT_EQ(dice.Seed(), 5u);
    std::vector<int> first;
    for (int i = 0; i < 6; ++i) first.push_back(dice.Die());
    EXPECT_EQ(first, (std::vector<int>{1, 2, 4, 4, 2, 6}));
}

TEST(Dice, ConstantClockGivesTheSameDieAfterEveryReseed) {
    ListClock clock({123456789});
    Dice dice(clock);
    dice.Reseed();
    const int first = dice.Die();
    for (int i = 0; i < 50; ++i) {
        dice.Reseed();
        EXPECT_EQ(dice.Die(), first);
    }
}

TEST(Dice, FirstDieOverSuccessiveReadingsRisesInRuns) {
    const std::vector<int> expected = {1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 4, 4, 4, 4,
                                       4, 4, 5, 5, 5, 5, 5, 6, 6, 6, 6, 6, 1, 1, 1, 1, 1, 1, 2, 2};
    CountingClock clock(0);
    Dice dice(clock);
    std::vector<int> seen;
    for (int i = 0; i < 40; ++i) {
        dice.Reseed();
        seen.push_back(dice.Die());
    }
    EXPECT_EQ(seen, expected);
}

TEST(Dice, ReadingOneGivesTheMovePairOneSix) {
    ListClock clock({1});
    Dice dice(clock);
    dice.Reseed();
    EXPECT_EQ(dice.Die(), 1);
    EXPECT_EQ(dice.Die(), 6);
}

TEST(Dice, ThrowOfOneIsZeroAndStillAdvances) {
    ListClock clock({});
    Dice dice(clock);
    for (int i = 0; i < 10; ++i) {
        const std::uint32_t before = dice.Seed();
        EXPECT_EQ(dice.Throw(1), 0);
        EXPECT_NE(dice.Seed(), before);
    }
}

TEST(Dice, ListClockRepeatsItsLastReading) {
    ListClock clock({7, 8});
    EXPECT_EQ(clock.Read(), 7u);
    EXPECT_EQ(clock.Read(), 8u);
    EXPECT_EQ(clock.Read(), 8u);
    ListClock empty({});
    EXPECT_EQ(empty.Read(), 0u);
}

std::uint32_t FixedTicks() { return 98765u; }
bool FailingCounter(std::uint64_t&) { return false; }
bool FixedCounter(std::uint64_t& count) {
    count = 0x0123456789ABCDEFull;
    return true;
}

TEST(PlatformClock, FallsBackToTheMillisecondCount) {
    PlatformClock clock(&FailingCounter, &FixedTicks);
    Dice dice(clock);
    dice.Reseed();
    EXPECT_EQ(dice.Seed(), 98765u);
}

TEST(PlatformClock, MixesTheCounterBeforeTheLow32BitsAreKept) {
    PlatformClock clock(&FixedCounter, &FixedTicks);
    EXPECT_EQ(clock.Read(), PlatformClock::Mix(0x0123456789ABCDEFull));
    // Neighbouring counter values give unrelated seeds: on average half of
    // the 32 low bits flip.
    int flipped = 0;
    for (std::uint64_t c = 1000; c < 2000; ++c) {
        const auto a = static_cast<std::uint32_t>(PlatformClock::Mix(c));
        const auto b = static_cast<std::uint32_t>(PlatformClock::Mix(c + 1));
        flipped += __builtin_popcount(a ^ b);
    }
    EXPECT_NEAR(flipped / 1000.0, 16.0, 1.0);
}

bool RawCounter(std::uint64_t& count) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    count = static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
    return true;
}

// The low bits of an unmixed nanosecond counter, as a clock source.
class UnmixedCounter final : public ClockSource {
public:
    std::uint64_t Read() override {
        std::uint64_t count = 0;
        RawCounter(count);
        return count;
    }
};

TEST(PlatformClock, RealClockThrowsPassFairnessTests) {
    constexpr int kMoves = 200000;
    PlatformClock real;
    const DiceStatistics mixed = MeasureMoves(real, kMoves);
    UnmixedCounter raw;
    const DiceStatistics unmixed = MeasureMoves(raw, kMoves);
    std::printf("chi-squared over %d moves (mixed | unmixed counter):\n"
                "  faces, 5 dof:             %10.1f | %10.1f\n"
                "  move to move, 35 dof:     %10.1f | %10.1f\n"
                "  within a move, 35 dof:    %10.1f | %10.1f\n",
                kMoves, mixed.faces, unmixed.faces, mixed.moveToMove, unmixed.moveToMove, mixed.withinMove,
                unmixed.withinMove);
    EXPECT_GT(ChiSquaredTail(mixed.faces, 5), 1e-6) << mixed.faces;
    EXPECT_GT(ChiSquaredTail(mixed.moveToMove, 35), 1e-6) << mixed.moveToMove;
    EXPECT_GT(ChiSquaredTail(mixed.withinMove, 35), 1e-6) << mixed.withinMove;
}

TEST(ChiSquaredTail, MatchesKnownCriticalValues) {
    EXPECT_NEAR(ChiSquaredTail(11.070, 5), 0.05, 1e-3);
    EXPECT_NEAR(ChiSquaredTail(49.802, 35), 0.05, 1e-3);
    EXPECT_NEAR(ChiSquaredTail(57.342, 35), 0.01, 1e-3);
}

}  // namespace
}  // namespace saberline
