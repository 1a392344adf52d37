#include "Calculator.h"

#include <algorithm>

#include "FillText.h"
#include "IntText.h"
#include "Texts.h"

namespace saberline {

const std::array<ForumTextField, 4> kForumTextFields{{
    {"SumPostsBM1", &ForumFields::posts1, "0", 5},
    {"SumPostsBM2", &ForumFields::posts2, "0", 5},
    {"SumRBM1", &ForumFields::reputation1, "0", 4},
    {"SumRBM2", &ForumFields::reputation2, "0", 4},
}};

const std::array<BlackMarkBox, 2 * std::size_t{kBlackMarks}> kBlackMarkBoxes{{
    {"ChM11", 0}, {"ChM12", 0}, {"ChM13", 0}, {"ChM14", 0}, {"ChM15", 0},
    {"ChM21", 1}, {"ChM22", 1}, {"ChM23", 1}, {"ChM24", 1}, {"ChM25", 1},
}};

const std::array<CombatResult, 6> kCombatResults{{
    {"FOgnOr1", 0, &CombatTexts::FOgnOr1, "OgnOr1", true, "0", 2},
    {"FOgnOr2", 1, &CombatTexts::FOgnOr2, "OgnOr2", true, "0", 2},
    {"FHolOr1", 0, &CombatTexts::FHolOr1, "HolOr1", true, "0", 2},
    {"FHolOr2", 1, &CombatTexts::FHolOr2, "HolOr2", true, "0", 2},
    {"FStrZ1", 0, &CombatTexts::FStrZ1, "StrZ1", false, "0", 2},
    {"FStrZ2", 1, &CombatTexts::FStrZ2, "StrZ2", false, "0", 2},
}};

ForumFields ForumFields::StartUp() {
    ForumFields fields;
    for (const ForumTextField& field : kForumTextFields) fields.*field.text = field.startUp;
    return fields;
}

CombatTexts CombatTexts::StartUp() {
    CombatTexts texts;
    for (const CombatResult& result : kCombatResults) texts.*result.text = result.startUp;
    return texts;
}

const BlackMarkBox* FindBlackMarkBox(std::string_view name) noexcept {
    const auto* found = std::find_if(kBlackMarkBoxes.begin(), kBlackMarkBoxes.end(),
                                     [&](const BlackMarkBox& box) { return name == box.name; });
    return found == kBlackMarkBoxes.end() ? nullptr : found;
}

namespace {

struct Band {
    std::int32_t from, to, value;
};

template <std::size_t N>
std::int32_t Lookup(const Band (&bands)[N], std::int32_t x) noexcept {
    for (const Band& band : bands)
        if (x >= band.from && x <= band.to) return band.value;
    return 0;  // no band matches
}

constexpr Band kFirearmBands[] = {
    {1, 4, 8},    {5, 9, 9},    {10, 19, 10}, {20, 29, 11},       {30, 39, 12},
    {40, 49, 13}, {50, 74, 14}, {75, 99, 15}, {100, 10000, 16},
};
constexpr Band kColdBands[] = {
    {1, 49, 4},       {50, 99, 5},      {100, 249, 6},     {250, 499, 7},      {500, 999, 8},
    {1000, 1499, 9},  {1500, 1999, 10}, {2000, 4999, 11},  {5000, 100000, 12},
};
constexpr Band kFactorBands[] = {
    {5, 9, 20}, {10, 19, 25}, {20, 29, 30}, {30, 39, 35}, {40, 49, 40}, {50, 74, 55}, {75, 10000, 70},
};
constexpr Band kArmourBands[] = {
    {0, 99, 0},       {100, 249, 1},    {250, 499, 2},    {500, 999, 3},
    {1000, 1499, 4},  {1500, 1999, 5},  {2000, 4999, 6},  {5000, 100000, 7},
};

}  // namespace

std::int32_t FirearmFromReputation(std::int32_t reputation) noexcept { return Lookup(kFirearmBands, reputation); }
std::int32_t ColdFromPosts(std::int32_t posts) noexcept { return Lookup(kColdBands, posts); }
std::int32_t ReputationFactor(std::int32_t reputation) noexcept { return Lookup(kFactorBands, reputation); }
std::int32_t ArmourFromBase(std::int32_t base) noexcept { return Lookup(kArmourBands, base); }

std::int32_t ArmourBase(std::int32_t posts, std::int32_t reputation) noexcept {
    if (reputation < 5 || posts < 100) return 1;
    // 64-bit so that any accepted number is safe; within the fields' lengths
    // the sum stays far below the 32-bit limit.
    const std::int64_t sum =
        static_cast<std::int64_t>(posts) + static_cast<std::int64_t>(reputation) * ReputationFactor(reputation);
    const std::int64_t base = sum / 2;
    return base > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(base);
}

std::int32_t ReduceByBlackMarks(std::int32_t value, int marks) noexcept {
    if (marks <= 0) return value;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(value) * (100 - 20 * marks) / 100);
}

Calculation CalculateCombat(const ForumFields& fields) {
    Calculation result;
    // The four inputs in the order of kForumTextFields, the order they are
    // checked: both posts counts, then both reputations.
    auto refuse = [](const ForumTextField& field) {
        Calculation refused;
        refused.message = texts::kForumInputError;
        refused.field = field.name;
        return refused;
    };
    std::int32_t scratch = 0;
    for (const ForumTextField& input : kForumTextFields)
        if ((fields.*input.text).empty()) return refuse(input);
    for (const ForumTextField& input : kForumTextFields)
        if (!TryTextToInt(fields.*input.text, scratch)) return refuse(input);
    for (const ForumTextField& input : kForumTextFields)
        if (TextToInt(fields.*input.text) < 1) return refuse(input);

    auto duellist = [](const std::string& postsText, const std::string& reputationText, int marks,
                       std::string& firearm, std::string& cold, std::string& armour) {
        const std::int32_t posts = TextToInt(postsText);
        const std::int32_t reputation = TextToInt(reputationText);
        firearm = IntToText(ReduceByBlackMarks(FirearmFromReputation(reputation), marks));
        cold = IntToText(ReduceByBlackMarks(ColdFromPosts(posts), marks));
        armour = IntToText(ReduceByBlackMarks(ArmourFromBase(ArmourBase(posts, reputation)), marks));
    };
    CombatTexts& r = result.results;
    duellist(fields.posts1, fields.reputation1, fields.marks1, r.FOgnOr1, r.FHolOr1, r.FStrZ1);
    duellist(fields.posts2, fields.reputation2, fields.marks2, r.FOgnOr2, r.FHolOr2, r.FStrZ2);
    return result;
}

std::string CheckTransfer(const CombatTexts& results) {
    for (const CombatResult& result : kCombatResults)
        if (result.transferRefusesZero && TextToInt(results.*result.text) == 0) return texts::kTransferRefused;
    return {};
}

std::string TransferNotice(const CombatTexts& results) {
    return FillText(texts::kTransferDone, {results.FOgnOr1, results.FHolOr1, results.FStrZ1, results.FOgnOr2,
                                           results.FHolOr2, results.FStrZ2});
}

}  // namespace saberline
