#include "DuelRequest.h"

#include <algorithm>
#include <cstring>

#include "IntText.h"
#include "Texts.h"

namespace saberline {

namespace {

// What the two fields of one role (duellist 1's and duellist 2's) share:
// the text at start-up and how many characters the user may type.
struct Role {
    const char* startUp;
    int maxLength;
};
constexpr Role kHealth{"30", 4};
constexpr Role kFirearm{"", 4};
constexpr Role kCold{"", 4};
constexpr Role kArmour{"", 4};
constexpr Role kStrongSide{"", 1};
constexpr Role kScheme{"", kMaxMoves};

constexpr DuelField Number(const char* name, int duellist, std::string DuellistFields::*text,
                           std::int32_t Duellist::*value, Role role) {
    return {name, duellist, text, -1, value, role.startUp, role.maxLength};
}
constexpr DuelField Side(const char* name, int duellist, int index) {
    return {name, duellist, nullptr, index, nullptr, kStrongSide.startUp, kStrongSide.maxLength};
}
constexpr DuelField Scheme(const char* name, int duellist) {
    return {name, duellist, &DuellistFields::scheme, -1, nullptr, kScheme.startUp, kScheme.maxLength};
}

}  // namespace

const std::array<DuelField, 18> kDuelFields{
    Number("BP1", 0, &DuellistFields::health, &Duellist::health, kHealth),
    Number("OgnOr1", 0, &DuellistFields::firearm, &Duellist::firearm, kFirearm),
    Number("HolOr1", 0, &DuellistFields::cold, &Duellist::cold, kCold),
    Number("StrZ1", 0, &DuellistFields::armour, &Duellist::armour, kArmour),
    Side("StrSt11", 0, 0),
    Side("StrSt12", 0, 1),
    Side("StrSt13", 0, 2),
    Side("StrSt14", 0, 3),
    Scheme("ShAtack1", 0),
    Number("BP2", 1, &DuellistFields::health, &Duellist::health, kHealth),
    Number("OgnOr2", 1, &DuellistFields::firearm, &Duellist::firearm, kFirearm),
    Number("HolOr2", 1, &DuellistFields::cold, &Duellist::cold, kCold),
    Number("StrZ2", 1, &DuellistFields::armour, &Duellist::armour, kArmour),
    Side("StrSt21", 1, 0),
    Side("StrSt22", 1, 1),
    Side("StrSt23", 1, 2),
    Side("StrSt24", 1, 3),
    Scheme("ShAtack2", 1),
};

std::string& FieldText(DuelRequest& request, const DuelField& field) {
    DuellistFields& fields = request.duellists[static_cast<std::size_t>(field.duellist)];
    if (field.text) return fields.*field.text;
    return fields.strong[static_cast<std::size_t>(field.strongIndex)];
}

const std::string& FieldText(const DuelRequest& request, const DuelField& field) {
    return FieldText(const_cast<DuelRequest&>(request), field);
}

const DuelField* FindDuelField(std::string_view name) noexcept {
    const auto* found = std::find_if(kDuelFields.begin(), kDuelFields.end(),
                                     [&](const DuelField& field) { return name == field.name; });
    return found == kDuelFields.end() ? nullptr : found;
}

DuelRequest DuelRequest::StartUp() {
    DuelRequest request;
    for (const DuelField& field : kDuelFields) FieldText(request, field) = field.startUp;
    return request;
}

namespace {

// The fields the checks read, in the order they read them: the four numbers
// of duellist 1, then of duellist 2; the first three strong sides of
// duellist 1, then of duellist 2; the two fourth sides.
struct CheckOrder {
    std::array<const DuelField*, 8> numbers{};
    std::array<const DuelField*, 6> sides{};
    std::array<const DuelField*, 2> fourths{};
};

const CheckOrder& TheCheckOrder() {
    static const CheckOrder order = [] {
        CheckOrder o;
        std::size_t numbers = 0;
        std::size_t sides = 0;
        std::size_t fourths = 0;
        for (const DuelField& field : kDuelFields) {
            if (field.value) o.numbers[numbers++] = &field;
            else if (field.strongIndex == 3) o.fourths[fourths++] = &field;
            else if (field.strongIndex >= 0) o.sides[sides++] = &field;
        }
        return o;
    }();
    return order;
}

// The strong side `index` (0..3) of `duellist`.
const DuelField& SideField(std::size_t duellist, int index) {
    const CheckOrder& order = TheCheckOrder();
    return index == 3 ? *order.fourths[duellist] : *order.sides[3 * duellist + static_cast<std::size_t>(index)];
}

const DuelField& NumberField(std::size_t duellist, std::int32_t Duellist::*value) {
    for (const DuelField* field : TheCheckOrder().numbers)
        if (static_cast<std::size_t>(field->duellist) == duellist && field->value == value) return *field;
    return *TheCheckOrder().numbers[0];  // not reached: every number has its field
}

}  // namespace

Validation ValidateDuel(const DuelRequest& request) {
    Validation result;
    const bool pistols = request.type == DuelType::Pistols;
    const CheckOrder& order = TheCheckOrder();
    auto refuse = [&](const char* message, const DuelField& field) {
        result.message = message;
        result.field = field.name;
        return result;
    };
    auto text = [&](const DuelField* field) -> const std::string& { return FieldText(request, *field); };

    // Presence: the four numbers of each duellist and, unless pistols, the
    // first three strong sides. The fourth sides are never required.
    for (const DuelField* field : order.numbers)
        if (text(field).empty()) return refuse(texts::kInputError, *field);
    if (!pistols)
        for (const DuelField* field : order.sides)
            if (text(field).empty()) return refuse(texts::kInputError, *field);

    // Form: the same fields in the same order convert; then each fourth side
    // that is not empty, in every duel type.
    std::array<std::int32_t, 8> numbers{};
    std::array<std::int32_t, 6> sides{};
    std::array<std::int32_t, 2> fourths{};
    for (std::size_t i = 0; i < numbers.size(); ++i)
        if (!TryTextToInt(text(order.numbers[i]), numbers[i])) return refuse(texts::kInputError, *order.numbers[i]);
    if (!pistols)
        for (std::size_t i = 0; i < sides.size(); ++i)
            if (!TryTextToInt(text(order.sides[i]), sides[i])) return refuse(texts::kInputError, *order.sides[i]);
    for (std::size_t i = 0; i < fourths.size(); ++i)
        if (!text(order.fourths[i]).empty() && !TryTextToInt(text(order.fourths[i]), fourths[i]))
            return refuse(texts::kInputError, *order.fourths[i]);

    // Values: the numbers; unless pistols, the strong sides (an empty fourth
    // side leaves 0).
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const DuelField& field = *order.numbers[i];
        result.duellists[static_cast<std::size_t>(field.duellist)].*field.value = numbers[i];
    }
    if (!pistols) {
        for (std::size_t d = 0; d < 2; ++d) {
            Duellist& r = result.duellists[d];
            for (std::size_t s = 0; s < 3; ++s) r.strong[s] = sides[3 * d + s];
            r.fourth = fourths[d];
        }
    }

    // Health and points: at least 1, in the order the numbers are read
    // (armour points have no bounds).
    for (std::size_t i = 0; i < numbers.size(); ++i)
        if (order.numbers[i]->value != &Duellist::armour && numbers[i] < 1)
            return refuse(texts::kInputError, *order.numbers[i]);
    if (pistols) return result;

    // Strong-side ranges.
    for (std::size_t i = 0; i < sides.size(); ++i)
        if (sides[i] < 1 || sides[i] > 6) return refuse(texts::kInputError, *order.sides[i]);

    // Noble costume: a fourth side beyond 6 concerns that side, else the
    // armour points that are not 0.
    for (std::size_t d = 0; d < 2; ++d) {
        Duellist& r = result.duellists[d];
        if (r.fourth > 0) {
            if (r.fourth > 6) return refuse(texts::kCostumeError, SideField(d, 3));
            if (r.armour != 0) return refuse(texts::kCostumeError, NumberField(d, &Duellist::armour));
            r.nobleCostume = true;
        }
    }

    // Distinct strong sides: the later side of the first equal pair.
    const char* duplicates[2] = {texts::kDuplicateSides1, texts::kDuplicateSides2};
    for (std::size_t d = 0; d < 2; ++d) {
        const Duellist& r = result.duellists[d];
        const std::array<std::int32_t, 4> all{r.strong[0], r.strong[1], r.strong[2], r.fourth};
        for (std::size_t a = 0; a < 4; ++a)
            for (std::size_t b = a + 1; b < 4; ++b)
                if (all[a] == all[b]) return refuse(duplicates[d], SideField(d, static_cast<int>(b)));
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

Validation PrepareDuel(const DuelRequest& request) {
    Validation validation = ValidateDuel(request);
    if (!validation.message.empty() || request.type == DuelType::Pistols) return validation;
    std::array<const DuelField*, 2> schemeFields{};
    for (const DuelField& field : kDuelFields)
        if (field.text == &DuellistFields::scheme) schemeFields[static_cast<std::size_t>(field.duellist)] = &field;
    auto refuse = [&](const char* message, std::size_t duellist) {
        validation.message = message;
        validation.field = schemeFields[duellist]->name;
        return validation;
    };
    const std::string& scheme1 = request.duellists[0].scheme;
    const std::string& scheme2 = request.duellists[1].scheme;
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

}  // namespace saberline
