#include "Duel.h"

#include <climits>

#include "IntText.h"
#include "Texts.h"

namespace saberline {

namespace {

// Game numbers are 32-bit. Within the lengths of the screen's fields no
// damage or health comes near the limits, but the core accepts any text: a
// damage is worked out in 64 bits and kept at most INT32_MAX, and a health
// stops at INT32_MIN instead of wrapping round to a positive value.
std::int32_t Damage(std::int64_t amount) noexcept {
    return amount <= 0 ? 0 : amount >= INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(amount);
}
std::int32_t LowerHealth(std::int32_t health, std::int32_t damage) noexcept {
    const std::int64_t lowered = static_cast<std::int64_t>(health) - damage;
    return lowered < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(lowered);
}

bool Converts(const std::string& text) noexcept {
    std::int32_t scratch = 0;
    return TryTextToInt(text, scratch);
}

}  // namespace

DuelRequest DuelRequest::StartUp() {
    DuelRequest request;
    request.duellists[0].health = "30";
    request.duellists[1].health = "30";
    return request;
}

#define SABERLINE_DUEL_FIELDS(N, D)                                            \
    DuelField{"BP" #N, D, &DuellistFields::health, -1, 4},                     \
        DuelField{"OgnOr" #N, D, &DuellistFields::firearm, -1, 4},             \
        DuelField{"HolOr" #N, D, &DuellistFields::cold, -1, 4},                \
        DuelField{"StrZ" #N, D, &DuellistFields::armour, -1, 4},               \
        DuelField{"StrSt" #N "1", D, nullptr, 0, 1},                           \
        DuelField{"StrSt" #N "2", D, nullptr, 1, 1},                           \
        DuelField{"StrSt" #N "3", D, nullptr, 2, 1},                           \
        DuelField{"StrSt" #N "4", D, nullptr, 3, 1},                           \
        DuelField{"ShAtack" #N, D, &DuellistFields::scheme, -1, kMaxMoves}

const std::array<DuelField, 18> kDuelFields{SABERLINE_DUEL_FIELDS(1, 0), SABERLINE_DUEL_FIELDS(2, 1)};

#undef SABERLINE_DUEL_FIELDS

std::string& FieldText(DuelRequest& request, const DuelField& field) {
    DuellistFields& fields = request.duellists[static_cast<std::size_t>(field.duellist)];
    if (field.text) return fields.*field.text;
    return fields.strong[static_cast<std::size_t>(field.strongIndex)];
}

Validation ValidateDuel(const DuelRequest& request) {
    Validation result;
    const bool pistols = request.type == DuelType::Pistols;
    const auto& f = request.duellists;

    auto numberFields = [&](std::size_t d) {
        return std::array<const std::string*, 4>{&f[d].health, &f[d].firearm, &f[d].cold, &f[d].armour};
    };
    auto refuse = [&](const char* message) {
        result.message = message;
        return result;
    };

    // Presence: the four numbers of each duellist, then (not for pistols)
    // the first three strong sides.
    for (std::size_t d = 0; d < 2; ++d)
        for (const std::string* text : numberFields(d))
            if (text->empty()) return refuse(texts::kInputError);
    if (!pistols)
        for (std::size_t d = 0; d < 2; ++d)
            for (std::size_t s = 0; s < 3; ++s)
                if (f[d].strong[s].empty()) return refuse(texts::kInputError);

    // Form: the same fields convert; the fourth sides whenever not empty.
    for (std::size_t d = 0; d < 2; ++d)
        for (const std::string* text : numberFields(d))
            if (!Converts(*text)) return refuse(texts::kInputError);
    if (!pistols)
        for (std::size_t d = 0; d < 2; ++d)
            for (std::size_t s = 0; s < 3; ++s)
                if (!Converts(f[d].strong[s])) return refuse(texts::kInputError);
    for (std::size_t d = 0; d < 2; ++d)
        if (!f[d].strong[3].empty() && !Converts(f[d].strong[3])) return refuse(texts::kInputError);

    // Values.
    for (std::size_t d = 0; d < 2; ++d) {
        Duellist& r = result.duellists[d];
        r.health = TextToInt(f[d].health);
        r.firearm = TextToInt(f[d].firearm);
        r.cold = TextToInt(f[d].cold);
        r.armour = TextToInt(f[d].armour);
    }
    if (!pistols) {
        for (std::size_t d = 0; d < 2; ++d) {
            Duellist& r = result.duellists[d];
            for (std::size_t s = 0; s < 3; ++s) r.strong[s] = TextToInt(f[d].strong[s]);
            if (!f[d].strong[3].empty()) r.fourth = TextToInt(f[d].strong[3]);
        }
    }

    // Health and points.
    for (const Duellist& r : result.duellists)
        if (r.health < 1 || r.firearm < 1 || r.cold < 1) return refuse(texts::kInputError);
    if (pistols) return result;

    // Strong-side ranges.
    for (const Duellist& r : result.duellists)
        for (std::int32_t side : r.strong)
            if (side < 1 || side > 6) return refuse(texts::kInputError);

    // Noble costume.
    for (Duellist& r : result.duellists) {
        if (r.fourth > 0) {
            if (r.fourth > 6 || r.armour != 0) return refuse(texts::kCostumeError);
            r.nobleCostume = true;
        }
    }

    // Distinct strong sides.
    const char* duplicates[2] = {texts::kDuplicateSides1, texts::kDuplicateSides2};
    for (std::size_t d = 0; d < 2; ++d) {
        const Duellist& r = result.duellists[d];
        const std::array<std::int32_t, 4> sides{r.strong[0], r.strong[1], r.strong[2], r.fourth};
        for (std::size_t a = 0; a < 4; ++a)
            for (std::size_t b = a + 1; b < 4; ++b)
                if (sides[a] == sides[b]) return refuse(duplicates[d]);
    }
    return result;
}

std::optional<std::string> ExpandScheme(std::string_view scheme) {
    if (scheme.empty()) return std::nullopt;  // nothing to repeat
    for (char c : scheme)
        if (c < '1' || c > '6') return std::nullopt;
    if (scheme.size() > static_cast<std::size_t>(kMaxMoves)) return std::string(scheme);
    std::string expanded(kMaxMoves, '\0');
    for (std::size_t i = 0, p = 0; i < expanded.size(); ++i, p = p + 1 == scheme.size() ? 0 : p + 1) {
        expanded[i] = scheme[p];
    }
    return expanded;
}

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

DuelResult RunDuel(const Duellist& d1, const Duellist& d2, DuelType type, Dice& dice) {
    DuelResult result;
    result.moves.reserve(kMaxMoves);
    std::int32_t health1 = d1.health;
    std::int32_t health2 = d2.health;
    for (int n = 1;; ++n) {
        dice.Reseed();
        MoveRecord move;
        move.number = static_cast<std::uint8_t>(n);
        move.weapon = WeaponOfMove(type, n);
        move.die1 = dice.Die();
        move.die2 = dice.Die();
        if (move.weapon == Weapon::Pistol) {
            health2 = LowerHealth(health2, ResolveShot(move.die1, d1.firearm, d2.armour));
            health1 = LowerHealth(health1, ResolveShot(move.die2, d2.firearm, d1.armour));
        } else {
            const std::int32_t attack1 = AttackDigit(d1.scheme, n);
            const std::int32_t attack2 = AttackDigit(d2.scheme, n);
            move.attack1 = static_cast<char>('0' + attack1);
            move.attack2 = static_cast<char>('0' + attack2);
            const std::int32_t parry2 = FindParryingSide(attack1, d2.strong, d2.fourth, d2.nobleCostume);
            const std::int32_t parry1 = FindParryingSide(attack2, d1.strong, d1.fourth, d1.nobleCostume);
            move.parry1 = static_cast<std::uint8_t>(parry1);
            move.parry2 = static_cast<std::uint8_t>(parry2);
            health2 = LowerHealth(health2, ResolveStrike(move.die1, parry2 != 0, d1.cold, d2.armour));
            health1 = LowerHealth(health1, ResolveStrike(move.die2, parry1 != 0, d2.cold, d1.armour));
        }
        move.health1 = health1;
        move.health2 = health2;
        result.moves.push_back(move);
        if (health1 <= 0 || health2 <= 0 || n == kMaxMoves) break;
    }
    if (health1 > 0 && health2 > 0) result.ending = DuelEnding::Undecided;
    else if (health1 > 0) result.ending = DuelEnding::Duellist1Wins;
    else if (health2 > 0) result.ending = DuelEnding::Duellist2Wins;
    else result.ending = DuelEnding::BothFell;
    return result;
}

namespace {

char DieMark(std::int32_t die) noexcept { return die == 1 ? '-' : die == 6 ? '+' : '='; }

// Writes one move log into a buffer sized for the longest possible log, so
// that a whole duel costs one allocation per log and no bounds checks.
class LogWriter {
public:
    // Longest header "-2147483648 |", longest entry " -2147483648(6+/6) |",
    // longest end piece the undecided one (65 bytes).
    static constexpr std::size_t kLongestHeader = 13;
    static constexpr std::size_t kLongestEntry = 20;
    static constexpr std::size_t kLongestEnd = 96;

    explicit LogWriter(std::size_t moves) : text_(kLongestHeader + kLongestEntry * moves + kLongestEnd, '\0') {
        at_ = text_.data();
    }

    void Number(std::int32_t value) noexcept { at_ = WriteIntText(at_, value); }
    void Char(char c) noexcept { *at_++ = c; }
    // Fixed pieces are copied inline: a call to the library's copy for two
    // or three characters would cost more than the copy itself.
    template <std::size_t N>
    void Text(const char (&text)[N]) noexcept {
        char* at = at_;
        for (std::size_t i = 0; i + 1 < N; ++i) at[i] = text[i];
        at_ = at + (N - 1);
    }

    void Entry(std::int32_t health, Weapon weapon, std::int32_t die, char attack, std::int32_t parry) noexcept {
        Char(' ');
        Number(health);
        Char('(');
        if (weapon == Weapon::Pistol) {
            Number(die);
            Char(')');
        } else {
            Char(attack);
            Char(DieMark(die));
            if (parry == 0) {
                Text(texts::kLogNoParry);
            } else {
                Char('/');
                Number(parry);
                Char(')');
            }
        }
        Text(texts::kLogBar);
    }

    std::string Finish() {
        text_.resize(static_cast<std::size_t>(at_ - text_.data()));
        return std::move(text_);
    }

private:
    std::string text_;
    char* at_;
};

static_assert(sizeof texts::kLogUndecidedEnd <= LogWriter::kLongestEnd);
static_assert(sizeof texts::kLogLoserEnd <= LogWriter::kLongestEnd);
static_assert(sizeof texts::kLogDrawEnd <= LogWriter::kLongestEnd);

}  // namespace

MoveLogs WriteMoveLogs(std::int32_t startHealth1, std::int32_t startHealth2,
                       const std::vector<MoveRecord>& moves, DuelEnding ending) {
    LogWriter log1(moves.size());
    LogWriter log2(moves.size());
    log1.Number(startHealth1);
    log1.Text(texts::kLogBar);
    log2.Number(startHealth2);
    log2.Text(texts::kLogBar);
    for (const MoveRecord& m : moves) {
        log1.Entry(m.health1, m.weapon, m.die1, m.attack1, m.parry1);
        log2.Entry(m.health2, m.weapon, m.die2, m.attack2, m.parry2);
    }
    auto winner = [](LogWriter& log, std::int32_t finalHealth) {
        log.Char(' ');
        log.Number(finalHealth);
        log.Char(';');
    };
    const std::int32_t final1 = moves.empty() ? startHealth1 : moves.back().health1;
    const std::int32_t final2 = moves.empty() ? startHealth2 : moves.back().health2;
    MoveLogs logs;
    switch (ending) {
        case DuelEnding::Duellist1Wins:
            winner(log1, final1);
            log2.Text(texts::kLogLoserEnd);
            break;
        case DuelEnding::Duellist2Wins:
            log1.Text(texts::kLogLoserEnd);
            winner(log2, final2);
            break;
        case DuelEnding::BothFell:
            log1.Text(texts::kLogDrawEnd);
            log2.Text(texts::kLogDrawEnd);
            break;
        case DuelEnding::Undecided:
            log1.Text(texts::kLogUndecidedEnd);
            log2.Text(texts::kLogUndecidedEnd);
            logs.message = texts::kLongDuel;
            break;
    }
    logs.log1 = log1.Finish();
    logs.log2 = log2.Finish();
    return logs;
}

Validation PrepareDuel(const DuelRequest& request) {
    Validation validation = ValidateDuel(request);
    if (!validation.message.empty() || request.type == DuelType::Pistols) return validation;
    const std::string& scheme1 = request.duellists[0].scheme;
    const std::string& scheme2 = request.duellists[1].scheme;
    if (scheme1.empty()) validation.message = texts::kSchemeEmpty1;
    else if (scheme2.empty()) validation.message = texts::kSchemeEmpty2;
    if (!validation.message.empty()) return validation;
    std::optional<std::string> expanded1 = ExpandScheme(scheme1);
    if (!expanded1) {
        validation.message = texts::kSchemeBad1;
        return validation;
    }
    std::optional<std::string> expanded2 = ExpandScheme(scheme2);
    if (!expanded2) {
        validation.message = texts::kSchemeBad2;
        return validation;
    }
    validation.duellists[0].scheme = std::move(*expanded1);
    validation.duellists[1].scheme = std::move(*expanded2);
    return validation;
}

DuelScreenTexts RunDuelRequest(const DuelRequest& request, Dice& dice) {
    DuelScreenTexts screen;  // the three outputs start empty
    const Validation prepared = PrepareDuel(request);
    if (!prepared.message.empty()) {
        screen.ErrorText = prepared.message;
        return screen;
    }
    const auto& [d1, d2] = prepared.duellists;
    const DuelResult duel = RunDuel(d1, d2, request.type, dice);
    MoveLogs logs = WriteMoveLogs(d1.health, d2.health, duel.moves, duel.ending);
    screen.InfoBM1 = std::move(logs.log1);
    screen.InfoBM2 = std::move(logs.log2);
    screen.ErrorText = std::move(logs.message);
    return screen;
}

}  // namespace saberline
