// Fairness statistics of the dice: chi-squared of the faces, of duellist 1's
// dice in successive moves and of the two dice of one move, measured the way
// the move loop throws (reseed, two dice), and the chi-squared tail.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "Dice.h"

namespace saberline::testing {

// Upper tail of the chi-squared distribution, P(X > x), for k degrees of
// freedom (series for the regularised lower incomplete gamma function).
inline double ChiSquaredTail(double x, int k) {
    const double a = k / 2.0, z = x / 2.0;
    if (z <= 0) return 1.0;
    if (z > a + 40 * std::sqrt(a) + 40) return 0.0;
    double term = 1.0 / a, sum = term;
    for (int n = 1; n < 100000 && term > sum * 1e-17; ++n) {
        term *= z / (a + n);
        sum += term;
    }
    const double lower = std::exp(-z + a * std::log(z) - std::lgamma(a)) * sum;
    return std::max(0.0, 1.0 - lower);
}

template <std::size_t N>
inline double ChiSquared(const std::array<long, N>& counts) {
    long total = 0;
    for (long c : counts) total += c;
    const double expected = static_cast<double>(total) / N;
    double chi = 0;
    for (long c : counts) chi += (c - expected) * (c - expected) / expected;
    return chi;
}

struct DiceStatistics {
    double faces, moveToMove, withinMove;
};

// Throws dice the way the move loop does (reseed, two dice) back to back,
// and measures how far the faces, the pairs of duellist 1's dice in
// successive moves and the two dice of one move are from fair.
inline DiceStatistics MeasureMoves(ClockSource& clock, int moves) {
    Dice dice(clock);
    std::array<long, 6> faces{};
    std::array<long, 36> successive{}, pair{};
    int previous = -1;
    for (int i = 0; i < moves; ++i) {
        dice.Reseed();
        const int d1 = dice.Die() - 1;
        const int d2 = dice.Die() - 1;
        ++faces[static_cast<std::size_t>(d1)];
        ++faces[static_cast<std::size_t>(d2)];
        ++pair[static_cast<std::size_t>(d1 * 6 + d2)];
        if (previous >= 0) ++successive[static_cast<std::size_t>(previous * 6 + d1)];
        previous = d1;
    }
    return {ChiSquared(faces), ChiSquared(successive), ChiSquared(pair)};
}

}  // namespace saberline::testing
