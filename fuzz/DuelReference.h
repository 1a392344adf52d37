// The move rules read a second time, separately from the core, for the fuzz
// targets to check the referee against: a duellist's values from the field
// texts the referee accepted, and what one die does in one move. Sums are
// 64-bit here, so they hold as long as every value stays within 2^20.
#pragma once

#include <cstdint>
#include <string>

#include "Duel.h"
#include "IntText.h"

namespace saberline::fuzz {

using saberline::DuelType;

inline bool PistolMove(DuelType type, int n) {
    if (type == DuelType::Pistols) return true;
    if (type == DuelType::ColdWeapons) return false;
    return n == 1 || n % 5 == 0;
}

// The values a duellist brought, read again from the accepted field texts.
struct Values {
    std::int64_t health, firearm, cold, armour;
    int strong[3];
    int fourth;  // 0 unless the noble costume is worn
    std::string scheme;
};

inline Values ReadValues(const saberline::DuellistFields& f, DuelType type) {
    Values v{};
    v.health = saberline::TextToInt(f.health);
    v.firearm = saberline::TextToInt(f.firearm);
    v.cold = saberline::TextToInt(f.cold);
    v.armour = saberline::TextToInt(f.armour);
    if (type != DuelType::Pistols) {
        for (int s = 0; s < 3; ++s) v.strong[s] = saberline::TextToInt(f.strong[static_cast<std::size_t>(s)]);
        v.fourth = f.strong[3].empty() ? 0 : saberline::TextToInt(f.strong[3]);
        if (v.fourth < 0) v.fourth = 0;
        v.scheme = f.scheme;
    }
    return v;
}

inline std::int64_t Positive(std::int64_t x) { return x > 0 ? x : 0; }

inline std::int64_t ShotDamage(int die, const Values& a, const Values& d) {
    if (die <= 3) return 0;
    const std::int64_t strength = die == 6 ? 2 * a.firearm : a.firearm;
    return Positive(strength - d.armour);
}

inline int ParryOf(char attack, const Values& d) {
    const int digit = attack - '0';
    for (int s : d.strong)
        if (s == digit) return digit;
    if (d.fourth != 0 && d.fourth == digit) return digit;
    return 0;
}

inline std::int64_t StrikeDamage(int die, bool parried, const Values& a, const Values& d) {
    if (die == 1) return 0;
    if (die == 6) return Positive((parried ? a.cold : 2 * a.cold) - d.armour);
    return parried ? 0 : Positive(a.cold - d.armour);
}

inline char SchemeAt(const std::string& scheme, int n) {
    const std::size_t i = static_cast<std::size_t>(n - 1);
    return scheme.size() > 100 ? scheme[i] : scheme[i % scheme.size()];
}

}  // namespace saberline::fuzz
