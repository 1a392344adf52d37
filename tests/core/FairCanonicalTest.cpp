// The canonical duel of a fair duel: the readings come from the duel as the
// rules fight it, so every spelling of a request that the referee fights
// identically gives the same message, and every change of a value the rules
// read gives another.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "DuelTestSupport.h"
#include "Fair.h"
#include "IntText.h"
#include "Texts.h"

namespace saberline::fair {
namespace {

using saberline::testing::Accepted;
using saberline::testing::Request;

std::string Message(const DuelRequest& request) {
    FairDuel duel;
    duel.word1 = "101";
    duel.word2 = "102";
    duel.duel = Accepted(request);
    return ReseedMessage(MessagePrefix(duel), 1);
}

std::string Texts(DuelRequest request) {
    std::string all = std::to_string(static_cast<int>(request.type));
    for (const DuelField& field : kDuelFields) all += "|" + FieldText(request, field);
    return all;
}

DuelRequest MixedRequest() {
    return Request(DuelType::Mixed, {{"BP1", "40"}, {"OgnOr1", "6"}, {"HolOr1", "8"}, {"StrZ1", "2"},
                                     {"StrSt11", "5"}, {"StrSt12", "1"}, {"StrSt13", "3"}, {"ShAtack1", "123456"},
                                     {"BP2", "35"}, {"OgnOr2", "7"}, {"HolOr2", "6"}, {"StrZ2", "0"},
                                     {"StrSt21", "2"}, {"StrSt22", "4"}, {"StrSt23", "6"}, {"StrSt24", "1"},
                                     {"ShAtack2", "531"}});
}

TEST(FairCanonical, HoldsWhatEachDuelTypeReads) {
    // A mixed duel reads everything; its schemes at the 79 cold moves only.
    const CanonicalDuel mixed = Accepted(MixedRequest());
    EXPECT_EQ(mixed.type, DuelType::Mixed);
    const CanonicalDuellist& first = mixed.duellists[0];
    EXPECT_EQ(first.health, 40);
    EXPECT_EQ(first.firearm, 6);
    EXPECT_EQ(first.cold, 8);
    EXPECT_EQ(first.armour, 2);
    EXPECT_EQ(first.parrying, (std::vector<std::int32_t>{1, 3, 5}));
    ASSERT_EQ(first.scheme.size(), 79u);
    // Moves 2, 3, 4, 6, 7, 8, 9, 11 are the first cold moves: digits 2 3 4 6 1 2 3 5.
    EXPECT_EQ(std::vector<std::int32_t>(first.scheme.begin(), first.scheme.begin() + 8),
              (std::vector<std::int32_t>{2, 3, 4, 6, 1, 2, 3, 5}));
    // Duellist 2 wears the noble costume: the fourth side parries.
    EXPECT_EQ(mixed.duellists[1].parrying, (std::vector<std::int32_t>{1, 2, 4, 6}));

    // A cold-weapon duel reads no firearm points and all 100 scheme digits.
    DuelRequest coldRequest = MixedRequest();
    coldRequest.type = DuelType::ColdWeapons;
    const CanonicalDuel cold = Accepted(coldRequest);
    EXPECT_FALSE(cold.duellists[0].firearm);
    EXPECT_EQ(cold.duellists[0].cold, 8);
    ASSERT_EQ(cold.duellists[1].scheme.size(), 100u);
    EXPECT_EQ(std::vector<std::int32_t>(cold.duellists[1].scheme.begin(), cold.duellists[1].scheme.begin() + 4),
              (std::vector<std::int32_t>{5, 3, 1, 5}));

    // A pistol duel reads health, firearm and armour alone.
    DuelRequest pistolRequest = MixedRequest();
    pistolRequest.type = DuelType::Pistols;
    const CanonicalDuel pistol = Accepted(pistolRequest);
    for (const CanonicalDuellist& d : pistol.duellists) {
        EXPECT_TRUE(d.firearm);
        EXPECT_FALSE(d.cold);
        EXPECT_TRUE(d.parrying.empty());
        EXPECT_TRUE(d.scheme.empty());
    }

    // A fourth side of 0 is no costume and parries nothing.
    DuelRequest noCostume = coldRequest;
    noCostume.duellists[1].strong[3] = "0";
    noCostume.duellists[1].armour = "3";
    EXPECT_EQ(Accepted(noCostume).duellists[1].parrying, (std::vector<std::int32_t>{2, 4, 6}));
}

TEST(FairCanonical, ARefusedRequestGivesItsMessage) {
    struct Case {
        std::function<void(DuelRequest&)> change;
        const char* message;
    };
    const Case cases[] = {
        {[](DuelRequest& r) { r.duellists[0].health = "0"; }, texts::kInputError},
        {[](DuelRequest& r) { r.duellists[1].armour = "1"; }, texts::kCostumeError},
        {[](DuelRequest& r) { r.duellists[0].strong[2] = "1"; }, texts::kDuplicateSides1},
        {[](DuelRequest& r) { r.duellists[1].scheme = ""; }, texts::kSchemeEmpty2},
        {[](DuelRequest& r) { r.duellists[0].scheme = "1237"; }, texts::kSchemeBad1},
    };
    for (const Case& c : cases) {
        DuelRequest request = MixedRequest();
        c.change(request);
        const auto canonical = Canonicalise(request);
        ASSERT_TRUE(std::holds_alternative<std::string>(canonical)) << c.message;
        EXPECT_EQ(std::get<std::string>(canonical), c.message);
    }
}

// The canonical request, field by field, for worked cases.
TEST(FairCanonical, WritesTheCanonicalRequest) {
    struct Case {
        DuelRequest request;
        DuelRequest canonical;
    };
    const Case cases[] = {
        // Numbers by IntToText; unread points "1"; unread sides and schemes empty.
        {Request(DuelType::Pistols, {{"BP1", "$1E"}, {"OgnOr1", "+012"}, {"HolOr1", "77"}, {"StrZ1", "  -3"},
                                     {"StrSt11", "x"}, {"StrSt14", "7"}, {"ShAtack1", "хм"}, {"BP2", "0x10"},
                                     {"OgnOr2", "9"}, {"HolOr2", "1"}, {"StrZ2", "-$F"}}),
         Request(DuelType::Pistols, {{"BP1", "30"}, {"OgnOr1", "12"}, {"HolOr1", "1"}, {"StrZ1", "-3"},
                                     {"BP2", "16"}, {"OgnOr2", "9"}, {"HolOr2", "1"}, {"StrZ2", "-15"}})},
        // Sides ascending, the fourth (costume) last; the shortest scheme.
        {Request(DuelType::ColdWeapons, {{"BP1", "30"}, {"OgnOr1", "50"}, {"HolOr1", "10"}, {"StrZ1", "0"},
                                         {"StrSt11", "6"}, {"StrSt12", "2"}, {"StrSt13", "4"}, {"StrSt14", "1"},
                                         {"ShAtack1", "1212"}, {"BP2", "25"}, {"OgnOr2", "9"}, {"HolOr2", "8"},
                                         {"StrZ2", "2"}, {"StrSt21", "3"}, {"StrSt22", "1"}, {"StrSt23", "2"},
                                         {"StrSt24", "0"}, {"ShAtack2", "246135246135"}}),
         Request(DuelType::ColdWeapons, {{"BP1", "30"}, {"OgnOr1", "1"}, {"HolOr1", "10"}, {"StrZ1", "0"},
                                         {"StrSt11", "1"}, {"StrSt12", "2"}, {"StrSt13", "4"}, {"StrSt14", "6"},
                                         {"ShAtack1", "12"}, {"BP2", "25"}, {"OgnOr2", "1"}, {"HolOr2", "8"},
                                         {"StrZ2", "2"}, {"StrSt21", "1"}, {"StrSt22", "2"}, {"StrSt23", "3"},
                                         {"ShAtack2", "246135"}})},
        // Mixed: a place of the scheme that only pistol moves would read
        // (moves 5, 10, ..., 100 for a period of 5) is written 1.
        {Request(DuelType::Mixed, {{"BP1", "9"}, {"OgnOr1", "2"}, {"HolOr1", "3"}, {"StrZ1", "1"},
                                   {"StrSt11", "1"}, {"StrSt12", "2"}, {"StrSt13", "3"}, {"ShAtack1", "23456"},
                                   {"BP2", "8"}, {"OgnOr2", "2"}, {"HolOr2", "3"}, {"StrZ2", "1"},
                                   {"StrSt21", "4"}, {"StrSt22", "5"}, {"StrSt23", "6"}, {"ShAtack2", "6"}}),
         Request(DuelType::Mixed, {{"BP1", "9"}, {"OgnOr1", "2"}, {"HolOr1", "3"}, {"StrZ1", "1"},
                                   {"StrSt11", "1"}, {"StrSt12", "2"}, {"StrSt13", "3"}, {"ShAtack1", "23451"},
                                   {"BP2", "8"}, {"OgnOr2", "2"}, {"HolOr2", "3"}, {"StrZ2", "1"},
                                   {"StrSt21", "4"}, {"StrSt22", "5"}, {"StrSt23", "6"}, {"ShAtack2", "6"}})},
    };
    for (const Case& c : cases) {
        const CanonicalDuel duel = Accepted(c.request);
        EXPECT_EQ(Texts(CanonicalRequest(duel)), Texts(c.canonical));
        EXPECT_EQ(Accepted(CanonicalRequest(duel)), duel) << "the canonical request is the same duel";
    }
}

// The duel's bytes, spelled out for a pistol duel and the start of a cold one.
TEST(FairCanonical, DuelBytesLayout) {
    auto int32 = [](std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        return std::string{static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
                           static_cast<char>(u)};
    };
    const DuelRequest pistol = Request(DuelType::Pistols, {{"BP1", "30"}, {"OgnOr1", "12"}, {"HolOr1", "5"},
                                                           {"StrZ1", "-3"}, {"BP2", "20"}, {"OgnOr2", "9"},
                                                           {"HolOr2", "1"}, {"StrZ2", "4"}});
    EXPECT_EQ(DuelBytes(Accepted(pistol)),
              int32(1) + int32(30) + int32(12) + int32(-3) + int32(20) + int32(9) + int32(4));

    DuelRequest cold = MixedRequest();
    cold.type = DuelType::ColdWeapons;
    std::string expected = int32(2) + int32(40) + int32(8) + int32(2) + int32(3) + int32(1) + int32(3) + int32(5);
    for (int move = 0; move < 100; ++move) expected += int32("123456"[move % 6] - '0');
    expected += int32(35) + int32(6) + int32(0) + int32(4) + int32(1) + int32(2) + int32(4) + int32(6);
    const std::string bytes = DuelBytes(Accepted(cold));
    ASSERT_EQ(bytes.size(), expected.size() + 100 * 4);
    EXPECT_EQ(bytes.substr(0, expected.size()), expected);
    EXPECT_EQ(bytes.substr(bytes.size() - 8), int32(1) + int32(5));  // "531" repeated: moves 99 and 100
}

// The texts of one pistol duel between two equal duellists that once gave
// different endings: every one is the same duel now.
TEST(FairCanonical, RespellingsFromTheThreadGiveOneMessage) {
    const DuelRequest base = Request(DuelType::Pistols, {{"BP1", "30"}, {"OgnOr1", "5"}, {"HolOr1", "5"},
                                                         {"StrZ1", "1"}, {"BP2", "30"}, {"OgnOr2", "5"},
                                                         {"HolOr2", "5"}, {"StrZ2", "1"}});
    const std::string message = Message(base);
    struct Case {
        const char* field;
        const char* text;
    };
    const Case cases[] = {
        {"ShAtack1", "1"}, {"ShAtack1", "2"}, {"ShAtack1", "3"},  {"ShAtack1", "11"}, {"ShAtack1", "12"},
        {"ShAtack1", "13"}, {"BP1", "030"},   {"BP1", "+30"},     {"BP1", "$1E"},     {"BP1", "x1e"},
        {"BP1", " 30"},     {"BP1", "0x1E"},  {"HolOr1", "9999"}, {"HolOr2", "$1"},   {"StrSt12", "q"},
        {"StrSt14", "9"},   {"StrZ2", "01"},  {"ShAtack2", "1212"},
    };
    for (const Case& c : cases) {
        DuelRequest respelled = base;
        for (const DuelField& field : kDuelFields)
            if (std::string(field.name) == c.field) FieldText(respelled, field) = c.text;
        EXPECT_EQ(Message(respelled), message) << c.field << "=" << c.text;
    }
}

// --- Random requests and their respellings -------------------------------------

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
    template <typename T>
    void Shuffle(T& items) { std::shuffle(items.begin(), items.end(), random_); }

    std::string Digits(int length, char low = '1', char high = '6') {
        std::string text;
        for (int i = 0; i < length; ++i) text.push_back(static_cast<char>(Int(low, high)));
        return text;
    }
    // Any text of up to `length` characters, printable ASCII.
    std::string Junk(int length) {
        std::string text;
        for (int i = Int(0, length); i > 0; --i) text.push_back(static_cast<char>(Int(' ', '~')));
        return text;
    }

    // A request the rules accept.
    DuelRequest ValidRequest() {
        DuelRequest request;
        request.type = static_cast<DuelType>(Int(1, 3));
        for (DuellistFields& f : request.duellists) {
            f.health = std::to_string(Chance(0.5) ? Int(1, 60) : Int(1, 9999));
            f.firearm = std::to_string(Int(1, 200));
            f.cold = std::to_string(Int(1, 200));
            f.armour = std::to_string(Int(-99, 99));
            std::array<char, 6> sides{'1', '2', '3', '4', '5', '6'};
            Shuffle(sides);
            for (std::size_t s = 0; s < 3; ++s) f.strong[s] = std::string(1, sides[s]);
            if (Chance(0.3)) {
                f.strong[3] = std::string(1, sides[3]);
                f.armour = "0";
            }
            f.scheme = Digits(Int(1, 100));
        }
        return request;
    }

    // Another spelling of the same number that still fits `width`
    // characters, as the integer rule reads it.
    std::string Respell(const std::string& text, std::size_t width) {
        std::int32_t value = 0;
        if (!TryTextToInt(text, value)) throw std::logic_error("not a number: " + text);
        const bool negative = value < 0;
        const std::string digits = IntToText(negative ? -value : value);
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(negative ? -value : value));
        const std::string sign = negative ? "-" : "";
        std::vector<std::string> spellings{
            sign + "0" + digits,  sign + "00" + digits, (negative ? "-" : "+") + digits, " " + sign + digits,
            "  " + sign + digits, sign + "$" + hex,     sign + "x" + hex,                sign + "0x" + hex,
            sign + "X" + hex,     sign + "$0" + hex,    " " + sign + "$" + hex,
        };
        std::vector<std::string> fitting;
        for (const std::string& spelling : spellings) {
            std::int32_t read = 0;
            if (spelling.size() <= width && TryTextToInt(spelling, read) && read == value)
                fitting.push_back(spelling);
        }
        if (fitting.empty()) return text;
        return fitting[static_cast<std::size_t>(Int(0, static_cast<int>(fitting.size()) - 1))];
    }

private:
    std::mt19937 random_;
};

// The schemes' 100 digits as the moves take them, by the repetition rule.
std::string Repeated(const std::string& scheme) {
    std::string digits;
    while (digits.size() < 100) digits += scheme;
    digits.resize(100);
    return digits;
}

// Every way of writing a request that the referee fights the same.
DuelRequest Respelled(const DuelRequest& request, Generator& g) {
    DuelRequest r = request;
    const bool pistolMoves = r.type != DuelType::ColdWeapons;
    const bool coldMoves = r.type != DuelType::Pistols;
    for (DuellistFields& f : r.duellists) {
        f.health = g.Respell(f.health, 4);
        f.armour = g.Respell(f.armour, 4);
        f.firearm = pistolMoves ? g.Respell(f.firearm, 4) : std::to_string(g.Int(1, 9999));
        f.cold = coldMoves ? g.Respell(f.cold, 4) : g.Respell(std::to_string(g.Int(1, 999)), 4);
        if (!coldMoves) {
            // Not read at all: anything the validation of a pistol duel lets pass.
            for (std::size_t s = 0; s < 3; ++s) f.strong[s] = g.Junk(1);
            f.strong[3] = g.Chance(0.5) ? std::string() : g.Digits(1, '0', '9');
            f.scheme = g.Junk(100);
            continue;
        }
        // The parrying sides in any order, the fourth among them.
        const bool costume = !f.strong[3].empty() && f.strong[3] != "0";
        std::vector<std::string> sides(f.strong.begin(), f.strong.begin() + (costume ? 4 : 3));
        g.Shuffle(sides);
        for (std::size_t s = 0; s < 4; ++s) f.strong[s] = s < sides.size() ? sides[s] : std::string();
        if (sides.size() == 3 && g.Chance(0.5)) f.strong[3] = "0";
        // The scheme, its repetition, or its 100 digits with the digits of
        // the pistol moves changed.
        std::string digits = Repeated(f.scheme);
        switch (g.Int(0, 2)) {
            case 0:
                if (f.scheme.size() * 2 <= 100) f.scheme += f.scheme;
                break;
            case 1: f.scheme = digits; break;
            case 2:
                if (pistolMoves)
                    for (int move = 1; move <= 100; ++move)
                        if (WeaponOfMove(r.type, move) == Weapon::Pistol)
                            digits[static_cast<std::size_t>(move - 1)] = g.Digits(1)[0];
                f.scheme = digits;
                break;
        }
    }
    return r;
}

// Changes of one value the rules read; each gives another duel.
std::vector<DuelRequest> Changed(const DuelRequest& request, Generator& g) {
    std::vector<DuelRequest> changes;
    const bool pistolMoves = request.type != DuelType::ColdWeapons;
    const bool coldMoves = request.type != DuelType::Pistols;
    auto number = [](std::string& text, int by) { text = std::to_string(TextToInt(text) + by); };
    for (std::size_t d = 0; d < 2; ++d) {
        auto change = [&](auto edit) {
            DuelRequest r = request;
            edit(r.duellists[d]);
            changes.push_back(r);
        };
        change([&](DuellistFields& f) { number(f.health, f.health == "9999" ? -1 : 1); });
        if (pistolMoves) change([&](DuellistFields& f) { number(f.firearm, 1); });
        if (coldMoves) change([&](DuellistFields& f) { number(f.cold, 1); });
        const bool costume = !request.duellists[d].strong[3].empty();
        if (!costume || !coldMoves) change([&](DuellistFields& f) { number(f.armour, g.Chance(0.5) ? 1 : -1); });
        if (!coldMoves) continue;
        // A side that did not parry takes the place of one that did.
        change([&](DuellistFields& f) {
            for (char side = '1'; side <= '6'; ++side)
                if (std::find(f.strong.begin(), f.strong.end(), std::string(1, side)) == f.strong.end()) {
                    f.strong[static_cast<std::size_t>(g.Int(0, 2))] = std::string(1, side);
                    return;
                }
        });
        // One digit that a cold move reads.
        change([&](DuellistFields& f) {
            std::string digits = Repeated(f.scheme);
            int move = 0;
            do move = g.Int(1, 100);
            while (WeaponOfMove(request.type, move) != Weapon::ColdWeapon);
            char& digit = digits[static_cast<std::size_t>(move - 1)];
            digit = digit == '6' ? '1' : static_cast<char>(digit + 1);
            f.scheme = digits;
        });
    }
    return changes;
}

// A stand-in for the shell's HMAC: any function of the key and message.
Digest TestMac(const Secret& key, const std::string& message) {
    std::uint64_t hash = 1469598103934665603ull;
    for (const std::uint8_t byte : key) hash = (hash ^ byte) * 1099511628211ull;
    for (const char c : message) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    Digest digest{};
    for (std::size_t i = 0; i < digest.size(); ++i) digest[i] = static_cast<std::uint8_t>(hash >> (8 * (i % 8)));
    return digest;
}

TEST(FairCanonical, EveryRespellingGivesTheSameReadingsAndEveryChangeOthers) {
    Generator g(2024);
    int respellings = 0;
    int changes = 0;
    for (int i = 0; i < 400; ++i) {
        const DuelRequest request = g.ValidRequest();
        const CanonicalDuel duel = Accepted(request);
        FairDuel fair;
        fair.word1 = std::to_string(g.Int(0, 99999));
        fair.word2 = std::to_string(g.Int(0, 99999));
        fair.duel = duel;
        const std::string prefix = MessagePrefix(fair);
        const Readings readings = ComputeReadings(fair, TestMac);
        const std::string verification = FormatVerification(fair);

        for (int k = 0; k < 8; ++k, ++respellings) {
            const DuelRequest respelled = Respelled(request, g);
            SCOPED_TRACE(Texts(request) + "\nrespelled " + Texts(respelled));
            // The respelling is fought the same (with any readings)...
            ListClock clock1(std::vector<std::uint64_t>(readings.begin(), readings.end()));
            ListClock clock2(std::vector<std::uint64_t>(readings.begin(), readings.end()));
            Dice dice1(clock1);
            Dice dice2(clock2);
            const DuelScreenTexts fought = RunDuelRequest(request, dice1);
            const DuelScreenTexts foughtAgain = RunDuelRequest(respelled, dice2);
            ASSERT_EQ(foughtAgain.InfoBM1, fought.InfoBM1);
            ASSERT_EQ(foughtAgain.InfoBM2, fought.InfoBM2);
            // ...and gives the same canonical duel, message, readings and verification.
            FairDuel other = fair;
            other.duel = Accepted(respelled);
            ASSERT_EQ(other.duel, duel);
            EXPECT_EQ(MessagePrefix(other), prefix);
            EXPECT_EQ(ComputeReadings(other, TestMac), readings);
            EXPECT_EQ(FormatVerification(other), verification);
            EXPECT_EQ(RunFairDuel(other.duel, readings).InfoBM1, fought.InfoBM1);
        }
        for (const DuelRequest& changed : Changed(request, g)) {
            ++changes;
            SCOPED_TRACE(Texts(request) + "\nchanged " + Texts(changed));
            FairDuel other = fair;
            other.duel = Accepted(changed);
            EXPECT_NE(MessagePrefix(other), prefix);
            EXPECT_NE(ComputeReadings(other, TestMac), readings);
            EXPECT_NE(FormatVerification(other), verification);
        }
    }
    std::printf("%d respellings gave their duel's message, %d changes another\n", respellings, changes);
}

}  // namespace
}  // namespace saberline::fair
