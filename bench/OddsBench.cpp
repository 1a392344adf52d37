// Time of one exact odds calculation, for the duels that cost the most and
// for a typical one.
#include <benchmark/benchmark.h>

#include "Odds.h"

namespace {

using saberline::DuelRequest;
using saberline::DuelType;

DuelRequest Request(DuelType type, const char* health1, const char* points1, const char* armour1,
                    const char* health2, const char* points2, const char* armour2) {
    DuelRequest request;
    request.type = type;
    request.duellists[0] = saberline::DuellistFields{
        health1, points1, points1, armour1, {"1", "2", "3", ""}, "415263"};
    request.duellists[1] = saberline::DuellistFields{
        health2, points2, points2, armour2, {"4", "5", "6", ""}, "1"};
    return request;
}

void Run(benchmark::State& state, const DuelRequest& request) {
    for (auto _ : state) {
        saberline::DuelOdds odds = saberline::ComputeOdds(request);
        benchmark::DoNotOptimize(odds);
    }
}

// Both healths 9999, hits of 1 (2 on a six): the longest duel the screen
// allows, all 100 moves computed for both duellists.
void BM_HitsOfOnePistols(benchmark::State& state) {
    Run(state, Request(DuelType::Pistols, "9999", "1", "0", "9999", "1", "0"));
}
void BM_HitsOfOneColdWeapons(benchmark::State& state) {
    Run(state, Request(DuelType::ColdWeapons, "9999", "1", "0", "9999", "1", "0"));
}
// Both healths 9999 and hits of about 100: after a few dozen moves the
// standing healths spread over the whole range 1..9999, the most work per
// move the screen allows.
void BM_WidestSpreadMixed(benchmark::State& state) {
    Run(state, Request(DuelType::Mixed, "9999", "97", "0", "9999", "89", "-5"));
}
// Hits far apart on healths of 9999 (9999 less multiples of about 2000): few
// healths are reachable across a wide range.
void BM_LargeHitsMixed(benchmark::State& state) {
    Run(state, Request(DuelType::Mixed, "9999", "1999", "0", "9999", "1999", "0"));
}
// A duel as players enter it.
void BM_TypicalMixed(benchmark::State& state) {
    Run(state, Request(DuelType::Mixed, "30", "12", "3", "25", "9", "2"));
}

BENCHMARK(BM_HitsOfOnePistols)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HitsOfOneColdWeapons)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WidestSpreadMixed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LargeHitsMixed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypicalMixed)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
