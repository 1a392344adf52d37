#include "Duel.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <memory>

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

namespace {

// The control name of one duellist's field (`text`), or of its strong side
// `strongIndex` (0 to 3).
const char* FieldName(std::size_t duellist, std::string DuellistFields::*text, int strongIndex = -1) {
    for (const DuelField& field : kDuelFields)
        if (static_cast<std::size_t>(field.duellist) == duellist && field.text == text &&
            field.strongIndex == strongIndex)
            return field.name;
    return nullptr;
}

// The field an input-error refusal concerns: the first to fail, with the
// checks in their order. Presence of the four numbers of each duellist and
// (not for pistols) of the first three strong sides; then their form, and
// the fourth sides' whenever not empty; then health and points at least 1;
// then (not for pistols) the strong sides within 1 to 6.
const char* InputErrorField(const DuelRequest& request) {
    const bool pistols = request.type == DuelType::Pistols;
    std::vector<const DuelField*> numbers;
    std::vector<const DuelField*> sides;
    std::vector<const DuelField*> fourths;
    for (const DuelField& field : kDuelFields) {
        if (field.strongIndex == 3) fourths.push_back(&field);
        else if (field.strongIndex >= 0) sides.push_back(&field);
        else if (field.text != &DuellistFields::scheme) numbers.push_back(&field);
    }
    std::vector<const DuelField*> required = numbers;
    if (!pistols) required.insert(required.end(), sides.begin(), sides.end());
    DuelRequest copy = request;
    std::int32_t value = 0;
    for (const DuelField* field : required)
        if (FieldText(copy, *field).empty()) return field->name;
    for (const DuelField* field : required)
        if (!TryTextToInt(FieldText(copy, *field), value)) return field->name;
    for (const DuelField* field : fourths)
        if (!FieldText(copy, *field).empty() && !TryTextToInt(FieldText(copy, *field), value)) return field->name;
    for (const DuelField* field : numbers)
        if (field->text != &DuellistFields::armour && TextToInt(FieldText(copy, *field)) < 1) return field->name;
    if (!pistols)
        for (const DuelField* field : sides) {
            value = TextToInt(FieldText(copy, *field));
            if (value < 1 || value > 6) return field->name;
        }
    return nullptr;
}

}  // namespace

Validation ValidateDuel(const DuelRequest& request) {
    Validation result;
    const bool pistols = request.type == DuelType::Pistols;
    const auto& f = request.duellists;

    auto refuse = [&](const char* message, const char* field) {
        result.message = message;
        result.field = field;
        return result;
    };
    // Every input error is the same message; which field it concerns is
    // worked out only for a refused request.
    auto inputError = [&] { return refuse(texts::kInputError, InputErrorField(request)); };

    // Presence and form: the four numbers of each duellist and (not for
    // pistols) the first three strong sides must convert, an empty text
    // included; the fourth sides whenever not empty. Every refusal here is
    // the same message, so each field is converted once, in any order.
    struct Numbers {
        std::int32_t health, firearm, cold, armour;
        std::array<std::int32_t, 4> strong;
    };
    std::array<Numbers, 2> numbers{};
    for (std::size_t d = 0; d < 2; ++d) {
        Numbers& n = numbers[d];
        if (!TryTextToInt(f[d].health, n.health) || !TryTextToInt(f[d].firearm, n.firearm) ||
            !TryTextToInt(f[d].cold, n.cold) || !TryTextToInt(f[d].armour, n.armour))
            return inputError();
        if (!pistols)
            for (std::size_t s = 0; s < 3; ++s)
                if (!TryTextToInt(f[d].strong[s], n.strong[s])) return inputError();
        n.strong[3] = 0;
        if (!f[d].strong[3].empty() && !TryTextToInt(f[d].strong[3], n.strong[3])) return inputError();
    }

    // Values.
    for (std::size_t d = 0; d < 2; ++d) {
        Duellist& r = result.duellists[d];
        const Numbers& n = numbers[d];
        r.health = n.health;
        r.firearm = n.firearm;
        r.cold = n.cold;
        r.armour = n.armour;
        if (!pistols) {
            for (std::size_t s = 0; s < 3; ++s) r.strong[s] = n.strong[s];
            r.fourth = n.strong[3];
        }
    }

    // Health and points.
    for (const Duellist& r : result.duellists)
        if (r.health < 1 || r.firearm < 1 || r.cold < 1) return inputError();
    if (pistols) return result;

    // Strong-side ranges.
    for (const Duellist& r : result.duellists)
        for (std::int32_t side : r.strong)
            if (side < 1 || side > 6) return inputError();

    // Noble costume: a fourth side beyond 6 concerns that side, else the
    // armour points that are not 0.
    for (std::size_t d = 0; d < 2; ++d) {
        Duellist& r = result.duellists[d];
        if (r.fourth > 0) {
            if (r.fourth > 6) return refuse(texts::kCostumeError, FieldName(d, nullptr, 3));
            if (r.armour != 0) return refuse(texts::kCostumeError, FieldName(d, &DuellistFields::armour));
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
                if (sides[a] == sides[b]) return refuse(duplicates[d], FieldName(d, nullptr, static_cast<int>(b)));
    }
    return result;
}

std::optional<std::string> ExpandScheme(std::string_view scheme) {
    if (scheme.empty()) return std::nullopt;  // nothing to repeat
    // One pass without an early exit, which the compiler turns into a few
    // characters at a time: the largest distance of any character from '1'.
    unsigned char farthest = 0;
    for (const char c : scheme)
        farthest = std::max(farthest, static_cast<unsigned char>(static_cast<unsigned char>(c) - '1'));
    if (farthest > 5) return std::nullopt;
    if (scheme.size() > static_cast<std::size_t>(kMaxMoves)) return std::string(scheme);
    // The scheme once, then what is written so far copied after itself
    // until the 100 digits are full.
    std::string expanded(kMaxMoves, '\0');
    std::memcpy(expanded.data(), scheme.data(), scheme.size());
    for (std::size_t filled = scheme.size(); filled < expanded.size();) {
        const std::size_t copied = std::min(filled, expanded.size() - filled);
        std::memcpy(expanded.data() + filled, expanded.data(), copied);
        filled += copied;
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

namespace {

// Everything one attacker's die can do to one defender: the rules depend on
// nothing else, so they are worked out once per duel instead of every move.
struct AttackTable {
    std::array<std::int32_t, 7> shot{};                   // by die 1..6
    std::array<std::array<std::int32_t, 7>, 2> strike{};  // [parried][die 1..6]
    std::array<std::int32_t, 10> parry{};                 // the defender's side, by attack digit 0..9

    AttackTable(const Duellist& attacker, const Duellist& defender) noexcept {
        for (std::int32_t die = 1; die <= 6; ++die) {
            const auto at = static_cast<std::size_t>(die);
            shot[at] = ResolveShot(die, attacker.firearm, defender.armour);
            strike[0][at] = ResolveStrike(die, false, attacker.cold, defender.armour);
            strike[1][at] = ResolveStrike(die, true, attacker.cold, defender.armour);
        }
        for (std::int32_t attack = 0; attack <= 9; ++attack)
            parry[static_cast<std::size_t>(attack)] =
                FindParryingSide(attack, defender.strong, defender.fourth, defender.nobleCostume);
    }

    // The most damage any die can deal, in either kind of move.
    std::int32_t Most() const noexcept {
        std::int32_t most = 0;
        for (std::size_t die = 1; die <= 6; ++die)
            most = std::max({most, shot[die], strike[0][die], strike[1][die]});
        return most;
    }

    std::int32_t ParryingSide(std::int32_t attack, const Duellist& defender) const noexcept {
        return attack >= 0 && attack <= 9
                   ? parry[static_cast<std::size_t>(attack)]
                   : FindParryingSide(attack, defender.strong, defender.fourth, defender.nobleCostume);
    }
};

[[gnu::noinline, gnu::cold]] std::int32_t AttackDigitSlow(std::string_view scheme, int move) {
    return AttackDigit(scheme, move);
}

// AttackDigit with the digit read in place; anything else (a scheme that
// ends early, a character that is no digit) goes to AttackDigit itself.
inline std::int32_t AttackDigitOf(std::string_view scheme, int move) {
    const auto at = static_cast<std::size_t>(move - 1);
    if (at < scheme.size()) {
        const unsigned digit = static_cast<unsigned char>(scheme[at]) - unsigned{'0'};
        if (digit <= 9u) return static_cast<std::int32_t>(digit);
    }
    return AttackDigitSlow(scheme, move);
}

// The move loop. `onMove` receives every move's record, in order.
//
// A clock reading waits for all the work before it to finish. So when
// neither duellist can fall in a move whatever the dice (each health above
// the most the other can deal, and the move not the last), the next move is
// certain: its reading is taken first, and this move's dice are thrown from a
// copy of the seed while that reading is on its way. The readings, the dice
// and the seed left behind are the same as reseeding after the move; only
// the last move of a duel, or one in which someone may fall, is fought in
// the plain order.
template <typename OnMove>
DuelEnding FightDuel(const Duellist& d1, const Duellist& d2, DuelType type, Dice& dice, OnMove&& onMove) {
    const AttackTable by1(d1, d2);  // duellist 1 attacking duellist 2
    const AttackTable by2(d2, d1);
    const std::int32_t most1 = by2.Most();  // the most duellist 1 can lose in a move
    const std::int32_t most2 = by1.Most();
    std::int32_t health1 = d1.health;
    std::int32_t health2 = d2.health;
    const std::string_view scheme1 = d1.scheme;
    const std::string_view scheme2 = d2.scheme;
    MoveRecord move;
    std::int32_t parry1 = 0;  // the parrying sides of the move, as found
    std::int32_t parry2 = 0;
    // What no die decides: the weapon, the attacks and the parries.
    auto prepare = [&](int n) {
        move.number = static_cast<std::uint8_t>(n);
        move.weapon = WeaponOfMove(type, n);
        if (move.weapon == Weapon::ColdWeapon) {
            const std::int32_t attack1 = AttackDigitOf(scheme1, n);
            const std::int32_t attack2 = AttackDigitOf(scheme2, n);
            move.attack1 = static_cast<char>('0' + attack1);
            move.attack2 = static_cast<char>('0' + attack2);
            parry2 = by1.ParryingSide(attack1, d2);
            parry1 = by2.ParryingSide(attack2, d1);
        } else {
            move.attack1 = move.attack2 = 0;
            parry1 = parry2 = 0;
        }
        move.parry1 = static_cast<std::uint8_t>(parry1);
        move.parry2 = static_cast<std::uint8_t>(parry2);
    };
    // The dice and what they do.
    auto strike = [&](std::int32_t die1, std::int32_t die2) {
        move.die1 = die1;
        move.die2 = die2;
        if (move.weapon == Weapon::Pistol) {
            health2 = LowerHealth(health2, by1.shot[static_cast<std::size_t>(die1)]);
            health1 = LowerHealth(health1, by2.shot[static_cast<std::size_t>(die2)]);
        } else {
            health2 = LowerHealth(health2, by1.strike[parry2 != 0][static_cast<std::size_t>(die1)]);
            health1 = LowerHealth(health1, by2.strike[parry1 != 0][static_cast<std::size_t>(die2)]);
        }
        move.health1 = health1;
        move.health2 = health2;
        onMove(static_cast<const MoveRecord&>(move));
    };

    int n = 1;
    dice.Reseed();  // the reading of move 1
    // Moves in which no one can fall: the next move's reading first.
    for (; n < kMaxMoves && health1 > most1 && health2 > most2; ++n) {
        prepare(n);
        Dice thrown = dice;  // this move's seed
        dice.Reseed();
        const std::int32_t die1 = thrown.Die();  // 1..6
        const std::int32_t die2 = thrown.Die();
        strike(die1, die2);
    }
    // The rest in the plain order: dice, damage, then the reading of the next
    // move if there is one.
    for (;; ++n) {
        prepare(n);
        const std::int32_t die1 = dice.Die();
        const std::int32_t die2 = dice.Die();
        strike(die1, die2);
        if (health1 <= 0 || health2 <= 0 || n == kMaxMoves) break;
        dice.Reseed();
    }
    if (health1 > 0 && health2 > 0) return DuelEnding::Undecided;
    if (health1 > 0) return DuelEnding::Duellist1Wins;
    if (health2 > 0) return DuelEnding::Duellist2Wins;
    return DuelEnding::BothFell;
}

// The die marks of cold entries, by die: "-" for 1, "+" for 6, "=" otherwise.
constexpr char kDieMarks[] = "=-====+";
char DieMark(std::int32_t die) noexcept { return die >= 0 && die <= 6 ? kDieMarks[die] : '='; }

// Up to eight characters packed into one number, the first in the lowest
// byte, so that a piece of an entry is built in a register and stored at once.
constexpr std::uint64_t Packed(char c, int at) noexcept {
    return static_cast<std::uint64_t>(static_cast<unsigned char>(c)) << (8 * at);
}

// The end of a cold entry after "(", the attack digit and the die mark: the
// parry and the bar, "/X) |" or "/4) |", by parrying side 0..9.
constexpr std::array<std::uint64_t, 10> kParryEnds = [] {
    std::array<std::uint64_t, 10> ends{};
    for (int side = 0; side <= 9; ++side) {
        const char parry[3] = {side == 0 ? texts::kLogNoParry[0] : '/',
                               side == 0 ? texts::kLogNoParry[1] : static_cast<char>('0' + side),
                               side == 0 ? texts::kLogNoParry[2] : ')'};
        ends[static_cast<std::size_t>(side)] = Packed(parry[0], 3) | Packed(parry[1], 4) | Packed(parry[2], 5) |
                                               Packed(texts::kLogBar[0], 6) | Packed(texts::kLogBar[1], 7);
    }
    return ends;
}();

// Writes one move log into a buffer sized for the longest possible log: no
// bounds checks, and pieces are built in registers and stored a few bytes at
// a time. The writer holds nothing but scalars, so that the compiler keeps
// it in registers while characters are stored.
class LogWriter {
public:
    // Longest header "-2147483648 |", longest entry " -2147483648(6+/6) |";
    // room for the longest end piece (the undecided one, 65 bytes) and for
    // the 16-byte stores of health texts.
    static constexpr std::size_t kLongestHeader = 13;
    static constexpr std::size_t kLongestEntry = 20;
    static constexpr std::size_t kLongestEnd = 96;
    static constexpr std::size_t Capacity(std::size_t moves) {
        return kLongestHeader + kLongestEntry * moves + kLongestEnd;
    }

    // `buffer` holds Capacity(moves) characters. Writes the header.
    LogWriter(char* buffer, std::int32_t startHealth) noexcept : begin_(buffer), at_(buffer) {
        Remember(startHealth);
        Number(startHealth);
        Text(texts::kLogBar);
    }

    void Number(std::int32_t value) noexcept { at_ = WriteIntText(at_, value); }
    void Char(char c) noexcept { *at_++ = c; }
    template <std::size_t N>
    void Text(const char (&text)[N]) noexcept {
        std::memcpy(at_, text, N - 1);
        at_ += N - 1;
    }

    void Entry(std::int32_t health, Weapon weapon, std::int32_t die, char attack, std::int32_t parry) noexcept {
        // " " and the health, from the text of the last health written when
        // it has not changed (in most moves at least one duellist takes no
        // damage).
        if (health != lastHealth_) Remember(health);
        std::memcpy(at_, &spacedHealth_[0], 8);
        std::memcpy(at_ + 8, &spacedHealth_[1], 8);
        at_ += spacedLength_;
        if (weapon == Weapon::Pistol) {
            if (die >= 0 && die <= 9) {  // "(6) |"
                Store(Packed('(', 0) | Packed(static_cast<char>('0' + die), 1) | Packed(')', 2) |
                          Packed(texts::kLogBar[0], 3) | Packed(texts::kLogBar[1], 4),
                      5);
                return;
            }
            Char('(');
            Number(die);
            Char(')');
        } else {
            if (parry >= 0 && parry <= 9) {  // "(4+/X) |" or "(5=/4) |"
                Store(Packed('(', 0) | Packed(attack, 1) | Packed(DieMark(die), 2) |
                          kParryEnds[static_cast<std::size_t>(parry)],
                      8);
                return;
            }
            Char('(');
            Char(attack);
            Char(DieMark(die));
            Char('/');
            Number(parry);
            Char(')');
        }
        Text(texts::kLogBar);
    }

    std::string Finish() const { return std::string(begin_, at_); }

private:
    // Keeps " <health>" as sixteen bytes in two numbers.
    void Remember(std::int32_t health) noexcept {
        char text[16] = {' '};
        spacedLength_ = static_cast<std::size_t>(WriteIntText(text + 1, health) - text);
        std::memcpy(spacedHealth_, text, sizeof text);
        lastHealth_ = health;
    }

    // Stores all eight packed characters and keeps the first `length`.
    void Store(std::uint64_t packed, std::size_t length) noexcept {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(at_, &packed, sizeof packed);
        } else {
            for (int i = 0; i < 8; ++i) at_[i] = static_cast<char>(packed >> (8 * i));
        }
        at_ += length;
    }

    char* begin_;
    char* at_;
    std::int32_t lastHealth_ = 0;
    std::size_t spacedLength_ = 0;
    std::uint64_t spacedHealth_[2] = {};
};

static_assert(sizeof texts::kLogUndecidedEnd <= LogWriter::kLongestEnd);
static_assert(sizeof texts::kLogLoserEnd <= LogWriter::kLongestEnd);
static_assert(sizeof texts::kLogDrawEnd <= LogWriter::kLongestEnd);
static_assert(sizeof texts::kLogNoParry == 4 && sizeof texts::kLogBar == 3);

// Room for both logs of a duel of the screen (at most 100 moves) on the
// stack, or of a longer list of moves in the heap.
class LogBuffers {
public:
    explicit LogBuffers(std::size_t moves) {
        if (moves > static_cast<std::size_t>(kMaxMoves)) {
            const std::size_t capacity = LogWriter::Capacity(moves);
            heap_.reset(new char[2 * capacity]);
            first_ = heap_.get();
            second_ = heap_.get() + capacity;
        }
    }
    char* First() noexcept { return first_; }
    char* Second() noexcept { return second_; }

private:
    static constexpr std::size_t kInPlace = LogWriter::Capacity(kMaxMoves);
    char inPlace1_[kInPlace];
    char inPlace2_[kInPlace];
    std::unique_ptr<char[]> heap_;
    char* first_ = inPlace1_;
    char* second_ = inPlace2_;
};

// Both move logs, written move by move: the headers at construction, one
// entry per move, the end pieces and the message at Finish.
class MoveLogWriter {
public:
    MoveLogWriter(LogBuffers& buffers, std::int32_t startHealth1, std::int32_t startHealth2) noexcept
        : log1_(buffers.First(), startHealth1), log2_(buffers.Second(), startHealth2),
          final1_(startHealth1), final2_(startHealth2) {}

    void Move(const MoveRecord& m) noexcept {
        log1_.Entry(m.health1, m.weapon, m.die1, m.attack1, m.parry1);
        log2_.Entry(m.health2, m.weapon, m.die2, m.attack2, m.parry2);
        final1_ = m.health1;
        final2_ = m.health2;
    }

    MoveLogs Finish(DuelEnding ending) {
        auto winner = [](LogWriter& log, std::int32_t finalHealth) {
            log.Char(' ');
            log.Number(finalHealth);
            log.Char(';');
        };
        MoveLogs logs;
        switch (ending) {
            case DuelEnding::Duellist1Wins:
                winner(log1_, final1_);
                log2_.Text(texts::kLogLoserEnd);
                break;
            case DuelEnding::Duellist2Wins:
                log1_.Text(texts::kLogLoserEnd);
                winner(log2_, final2_);
                break;
            case DuelEnding::BothFell:
                log1_.Text(texts::kLogDrawEnd);
                log2_.Text(texts::kLogDrawEnd);
                break;
            case DuelEnding::Undecided:
                log1_.Text(texts::kLogUndecidedEnd);
                log2_.Text(texts::kLogUndecidedEnd);
                logs.message = texts::kLongDuel;
                break;
        }
        logs.log1 = log1_.Finish();
        logs.log2 = log2_.Finish();
        return logs;
    }

private:
    LogWriter log1_;
    LogWriter log2_;
    std::int32_t final1_;
    std::int32_t final2_;
};

}  // namespace

DuelResult RunDuel(const Duellist& d1, const Duellist& d2, DuelType type, Dice& dice) {
    DuelResult result;
    result.moves.reserve(kMaxMoves);
    result.ending = FightDuel(d1, d2, type, dice, [&](const MoveRecord& move) { result.moves.push_back(move); });
    return result;
}

MoveLogs WriteMoveLogs(std::int32_t startHealth1, std::int32_t startHealth2,
                       const std::vector<MoveRecord>& moves, DuelEnding ending) {
    LogBuffers buffers(moves.size());
    MoveLogWriter logs(buffers, startHealth1, startHealth2);
    for (const MoveRecord& m : moves) logs.Move(m);
    return logs.Finish(ending);
}

Validation PrepareDuel(const DuelRequest& request) {
    Validation validation = ValidateDuel(request);
    if (!validation.message.empty() || request.type == DuelType::Pistols) return validation;
    const std::string& scheme1 = request.duellists[0].scheme;
    const std::string& scheme2 = request.duellists[1].scheme;
    auto refuse = [&](const char* message, std::size_t duellist) {
        validation.message = message;
        validation.field = FieldName(duellist, &DuellistFields::scheme);
        return validation;
    };
    if (scheme1.empty()) return refuse(texts::kSchemeEmpty1, 0);
    if (scheme2.empty()) return refuse(texts::kSchemeEmpty2, 1);
    std::optional<std::string> expanded1 = ExpandScheme(scheme1);
    if (!expanded1) return refuse(texts::kSchemeBad1, 0);
    std::optional<std::string> expanded2 = ExpandScheme(scheme2);
    if (!expanded2) return refuse(texts::kSchemeBad2, 1);
    validation.duellists[0].scheme = std::move(*expanded1);
    validation.duellists[1].scheme = std::move(*expanded2);
    return validation;
}

DuelScreenTexts RunDuelRequest(const DuelRequest& request, Dice& dice) {
    DuelScreenTexts screen;  // the three outputs start empty
    const Validation prepared = PrepareDuel(request);
    if (!prepared.message.empty()) {
        screen.ErrorText = prepared.message;
        screen.refusedField = prepared.field;
        return screen;
    }
    const auto& [d1, d2] = prepared.duellists;
    // RunDuel and WriteMoveLogs in one pass: each move's log entries are
    // written as the duel goes, with no list of moves in between.
    LogBuffers buffers(kMaxMoves);
    MoveLogWriter writer(buffers, d1.health, d2.health);
    const DuelEnding ending =
        FightDuel(d1, d2, request.type, dice, [&](const MoveRecord& move) { writer.Move(move); });
    MoveLogs logs = writer.Finish(ending);
    screen.InfoBM1 = std::move(logs.log1);
    screen.InfoBM2 = std::move(logs.log2);
    screen.ErrorText = std::move(logs.message);
    return screen;
}

}  // namespace saberline
