// The duel button's work from field texts to the three screen texts, on the
// machine's clock, as the window runs it.
#include <benchmark/benchmark.h>

#include <string>

#include "Dice.h"
#include "Duel.h"
#include "DuelParts.h"
#include "Texts.h"

namespace {

using saberline::DuelRequest;
using saberline::DuelType;

// A scheme of 100 digits, made once by the scheme rule on counting readings.
std::string HundredDigitScheme(std::uint64_t start) {
    saberline::CountingClock clock(start);
    saberline::Dice dice(clock);
    return saberline::GenerateScheme(dice);
}

// A cold-weapon duel that always lasts 100 moves: armour 9999 against cold
// points 1 turns every hit into 0, whatever the dice.
DuelRequest UndecidedColdDuel() {
    DuelRequest request = DuelRequest::StartUp();
    request.type = DuelType::ColdWeapons;
    request.duellists[0] = {"30", "1", "1", "9999", {"1", "2", "3", ""}, HundredDigitScheme(0)};
    request.duellists[1] = {"30", "1", "1", "9999", {"4", "5", "6", ""}, HundredDigitScheme(1000)};
    return request;
}

void BM_UndecidedColdDuel(benchmark::State& state) {
    const DuelRequest request = UndecidedColdDuel();
    saberline::Dice& dice = saberline::ProcessDice();
    if (saberline::RunDuelRequest(request, dice).ErrorText != saberline::texts::kLongDuel) {
        state.SkipWithError("the duel was not undecided");
        return;
    }
    for (auto _ : state) {
        saberline::DuelScreenTexts texts = saberline::RunDuelRequest(request, dice);
        benchmark::DoNotOptimize(texts);
    }
}
BENCHMARK(BM_UndecidedColdDuel);

// The same duel on a counting clock instead of the machine's: what the
// referee itself costs, without the 100 clock reads.
void BM_UndecidedColdDuelCountingClock(benchmark::State& state) {
    const DuelRequest request = UndecidedColdDuel();
    saberline::CountingClock clock;
    saberline::Dice dice(clock);
    for (auto _ : state) {
        saberline::DuelScreenTexts texts = saberline::RunDuelRequest(request, dice);
        benchmark::DoNotOptimize(texts);
    }
}
BENCHMARK(BM_UndecidedColdDuelCountingClock);

// Refused by the last check there is: a bad character at the end of
// duellist 2's scheme, after every other field has been read and checked.
void BM_RefusedAtTheLastCheck(benchmark::State& state) {
    DuelRequest request = UndecidedColdDuel();
    request.duellists[1].scheme.back() = '7';
    saberline::Dice& dice = saberline::ProcessDice();
    if (saberline::RunDuelRequest(request, dice).ErrorText != saberline::texts::kSchemeBad2) {
        state.SkipWithError("the request was not refused by the scheme check");
        return;
    }
    for (auto _ : state) {
        saberline::DuelScreenTexts texts = saberline::RunDuelRequest(request, dice);
        benchmark::DoNotOptimize(texts);
    }
}
BENCHMARK(BM_RefusedAtTheLastCheck);

// The screen right after start-up: refused by the first field it reads.
void BM_RefusedAtStartUp(benchmark::State& state) {
    const DuelRequest request = DuelRequest::StartUp();
    saberline::Dice& dice = saberline::ProcessDice();
    for (auto _ : state) {
        saberline::DuelScreenTexts texts = saberline::RunDuelRequest(request, dice);
        benchmark::DoNotOptimize(texts);
    }
}
BENCHMARK(BM_RefusedAtStartUp);

// The pistol duel of 30 against 20 health, fought to its end with real dice
// (a few moves; its length varies from run to run).
void BM_PistolDuel(benchmark::State& state) {
    DuelRequest request = DuelRequest::StartUp();
    request.duellists[0] = {"30", "12", "1", "3", {}, ""};
    request.duellists[1] = {"20", "9", "1", "4", {}, ""};
    saberline::Dice& dice = saberline::ProcessDice();
    for (auto _ : state) {
        saberline::DuelScreenTexts texts = saberline::RunDuelRequest(request, dice);
        benchmark::DoNotOptimize(texts);
    }
}
BENCHMARK(BM_PistolDuel);

// One press of a scheme generator: 100 reseeds from the machine's clock.
void BM_RandomScheme(benchmark::State& state) {
    saberline::Dice& dice = saberline::ProcessDice();
    for (auto _ : state) {
        std::string scheme = saberline::GenerateScheme(dice);
        benchmark::DoNotOptimize(scheme);
    }
}
BENCHMARK(BM_RandomScheme);

// The anchor of the duel request: 100 readings of the machine's clock, the
// reseeds of a 100-move duel and nothing else. bench/core_ratio.sh sets
// BM_UndecidedColdDuel against it.
void BM_HundredClockReads(benchmark::State& state) {
    saberline::PlatformClock clock;
    for (auto _ : state)
        for (int read = 0; read < saberline::kMaxMoves; ++read) benchmark::DoNotOptimize(clock.Read());
}
BENCHMARK(BM_HundredClockReads);

// One reading of the machine's clock, as every move's reseed takes it.
void BM_ClockRead(benchmark::State& state) {
    saberline::PlatformClock clock;
    for (auto _ : state) benchmark::DoNotOptimize(clock.Read());
}
BENCHMARK(BM_ClockRead);

}  // namespace

BENCHMARK_MAIN();
