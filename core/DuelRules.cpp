#include "DuelRules.h"

#include <climits>
#include <cstddef>

#include "IntText.h"

namespace saberline {

namespace {

// Game numbers are 32-bit. Within the lengths of the screen's fields no
// damage or health comes near the limits, but the core accepts any text: a
// damage is worked out in 64 bits and kept at most INT32_MAX.
std::int32_t Damage(std::int64_t amount) noexcept {
    return amount <= 0 ? 0 : amount >= INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(amount);
}

}  // namespace

Weapon WeaponOfMove(DuelType type, int move) noexcept {
    switch (type) {
        case DuelType::Pistols: return Weapon::Pistol;
        case DuelType::ColdWeapons: return Weapon::ColdWeapon;
        case DuelType::Mixed: break;
    }
    return (move == 1 || move % 5 == 0) ? Weapon::Pistol : Weapon::ColdWeapon;
}

std::int32_t ResolveShot(std::int32_t die, std::int32_t firearm, std::int32_t defenderArmour) noexcept {
    std::int64_t strength = 0;
    if (die == 4 || die == 5) strength = firearm;
    else if (die == 6) strength = 2 * static_cast<std::int64_t>(firearm);
    else return 0;
    return strength > defenderArmour ? Damage(strength - defenderArmour) : 0;
}

std::int32_t FindParryingSide(std::int32_t attack, const std::array<std::int32_t, 3>& strong,
                              std::int32_t fourth, bool nobleCostume) noexcept {
    for (std::int32_t side : strong)
        if (attack == side) return side;
    if (nobleCostume && attack == fourth) return fourth;
    return 0;
}

std::int32_t ResolveStrike(std::int32_t die, bool parried, std::int32_t cold,
                           std::int32_t defenderArmour) noexcept {
    std::int64_t strength = 0;
    if (die == 6) strength = parried ? cold : 2 * static_cast<std::int64_t>(cold);
    else if (die >= 2 && die <= 5 && !parried) strength = cold;
    else return 0;
    return Damage(strength - defenderArmour);
}

std::int32_t AttackDigit(std::string_view scheme, int move) {
    const std::size_t at = static_cast<std::size_t>(move - 1);
    if (at < scheme.size() && scheme[at] >= '0' && scheme[at] <= '9') return scheme[at] - '0';
    return TextToInt(at < scheme.size() ? scheme.substr(at, 1) : std::string_view());
}

}  // namespace saberline
