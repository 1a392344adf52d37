#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <variant>

#include "DuelTestSupport.h"
#include "Fair.h"
#include "Texts.h"

namespace saberline::fair {
namespace {

using saberline::testing::ReadingsForMoves;
using saberline::testing::Request;

// Every reseed of a duel gets the reading of the given dice; the rest stay 0.
Readings ReadingsOf(std::initializer_list<std::pair<int, int>> moves) {
    Readings readings{};
    const std::vector<std::uint64_t> chosen = ReadingsForMoves(moves);
    std::copy(chosen.begin(), chosen.end(), readings.begin());
    return readings;
}

DuelRequest PistolRequest() {
    return Request(DuelType::Pistols, {{"BP1", "30"}, {"OgnOr1", "12"}, {"HolOr1", "1"}, {"StrZ1", "3"},
                                       {"BP2", "20"}, {"OgnOr2", "9"}, {"HolOr2", "1"}, {"StrZ2", "4"}});
}

FairDuel SampleDuel() {
    FairDuel duel;
    for (std::size_t i = 0; i < duel.secret.size(); ++i) duel.secret[i] = static_cast<std::uint8_t>(i * 7 + 1);
    duel.word1 = "1523";
    duel.word2 = "Пост №1524";
    duel.request = PistolRequest();
    return duel;
}

TEST(FairHex, SecretsAndDigestsAreSixtyFourHexDigits) {
    const std::string lower = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
    const auto bytes = Hex32(lower);
    ASSERT_TRUE(bytes);
    EXPECT_EQ((*bytes)[0], 0x00);
    EXPECT_EQ((*bytes)[15], 0xFF);
    EXPECT_EQ(ToHex(*bytes), lower);
    std::string upper = lower;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return static_cast<char>(std::toupper(c)); });
    EXPECT_EQ(Hex32(upper), bytes);

    const std::string refused[] = {
        "",
        lower.substr(1),             // 63 digits
        lower + "0",                 // 65 digits
        "g" + lower.substr(1),       // not a digit
        " " + lower.substr(1),
        lower.substr(0, 63) + "\n",
        "0x" + lower.substr(2),
    };
    for (const std::string& text : refused) EXPECT_FALSE(Hex32(text)) << text;
}

TEST(FairWord, OneToOneHundredCharactersOfUtf8WithoutControls) {
    std::string hundredCyrillic;
    for (int i = 0; i < 100; ++i) hundredCyrillic += "ж";
    struct Case {
        std::string word;
        std::string fault;
    };
    const Case cases[] = {
        {"1523", ""},
        {"a", ""},
        {"два слова", ""},
        {hundredCyrillic, ""},                       // 100 characters, 200 bytes
        {std::string(100, 'x'), ""},
        {"\xF0\x9F\x97\xA1", ""},                    // one character of four bytes
        {" padded ", ""},                            // used as given
        {"", "is empty"},
        {std::string(101, 'x'), "is longer than 100 characters"},
        {hundredCyrillic + "ж", "is longer than 100 characters"},
        {"\xC3\x28", "is not valid UTF-8"},
        {"\xED\xA0\x80", "is not valid UTF-8"},      // a surrogate
        {std::string("a\0b", 3), "contains a control character"},
        {"tab\there", "contains a control character"},
        {"line\n", "contains a control character"},
        {"\x7F", "contains a control character"},
        {"\xC2\x85", "contains a control character"},  // U+0085, next line
        {"\xC2\x9F", "contains a control character"},
        {"\xC2\xA0", ""},                              // U+00A0 is no control
    };
    for (const Case& c : cases) EXPECT_EQ(WordFault(c.word), c.fault) << ::testing::PrintToString(c.word);
}

// The documented layout, spelled out byte by byte for a small duel.
TEST(FairMessage, LayoutOfReseedOne) {
    FairDuel duel;
    duel.word1 = "ab";
    duel.word2 = "ё";
    duel.request = Request(DuelType::Mixed, {{"BP1", "7"}, {"ShAtack2", "12"}});
    const std::string empty(4, '\0');
    auto piece = [](std::string_view text) {
        return std::string(3, '\0') + static_cast<char>(text.size()) + std::string(text);
    };
    std::string expected = piece("saberline-fair-v1") + piece("7");
    for (int i = 0; i < 8; ++i) expected += empty;  // OgnOr1 .. ShAtack1
    expected += piece("30");                        // BP2 keeps its start-up text
    for (int i = 0; i < 7; ++i) expected += empty;  // OgnOr2 .. StrSt24
    expected += piece("12") + piece("3") + piece("ab") + piece("ё") + std::string("\0\0\0\x01", 4);
    EXPECT_EQ(ReseedMessage(duel, 1), expected);
    EXPECT_EQ(ReseedMessage(duel, 0x01020304).substr(expected.size() - 4), "\x01\x02\x03\x04");
}

// Moving text from one piece to its neighbour, or changing anything at all,
// gives another message: the encoding is unambiguous.
TEST(FairMessage, EveryChangeGivesAnotherMessage) {
    const FairDuel base = SampleDuel();
    std::vector<FairDuel> variants;
    auto variant = [&](auto change) {
        FairDuel duel = base;
        change(duel);
        variants.push_back(duel);
    };
    variant([](FairDuel&) {});
    variant([](FairDuel& d) { d.secret[0] ^= 1; });  // the secret is the HMAC key, not in the message
    variant([](FairDuel& d) { d.word1 = "152"; d.word2 = "3Пост №1524"; });
    variant([](FairDuel& d) { d.word1 = "1524"; });
    variant([](FairDuel& d) { d.word2 = "Пост №1525"; });
    variant([](FairDuel& d) { std::swap(d.word1, d.word2); });
    variant([](FairDuel& d) { d.request.type = DuelType::ColdWeapons; });
    variant([](FairDuel& d) { d.request.type = DuelType::Mixed; });
    for (const DuelField& field : kDuelFields) {
        variant([&](FairDuel& d) { FieldText(d.request, field) += "1"; });
    }
    // Text moved across a field boundary: BP1 "30" + OgnOr1 "12" against
    // "301" + "2".
    variant([](FairDuel& d) { d.request.duellists[0].health = "301"; d.request.duellists[0].firearm = "2"; });

    std::set<std::string> messages;
    for (const FairDuel& duel : variants) messages.insert(ReseedMessage(duel, 1));
    EXPECT_EQ(messages.size(), variants.size() - 1);  // all distinct but the secret's variant

    std::set<std::string> reseeds;
    for (std::uint32_t n = 1; n <= 300; ++n) reseeds.insert(ReseedMessage(base, n));
    EXPECT_EQ(reseeds.size(), 300u);
}

TEST(FairReading, FirstEightBytesBigEndian) {
    Digest mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) mac[i] = static_cast<std::uint8_t>(i + 1);
    EXPECT_EQ(ReadingFromMac(mac), 0x0102030405060708ull);
    mac.fill(0xFF);
    mac[8] = 0;
    EXPECT_EQ(ReadingFromMac(mac), 0xFFFFFFFFFFFFFFFFull);
    mac.fill(0);
    mac[7] = 0x80;
    EXPECT_EQ(ReadingFromMac(mac), 0x80ull);
}

// Reseed n takes the n-th reading (its low 32 bits are the seed): the
// two-move pistol duel of the move-log rules.
TEST(FairReplay, MoveNUsesReadingN) {
    Readings readings = ReadingsOf({{4, 2}, {6, 5}});
    readings[0] += std::uint64_t{0xABCD} << 32;  // the high bits do not count
    const DuelScreenTexts texts = RunFairDuel(PistolRequest(), readings);
    EXPECT_EQ(texts.InfoBM1, "30 | 30(4) | 24(6) | 24;");
    EXPECT_EQ(texts.InfoBM2, "20 | 12(2) | -8(5) | убит: поражение;");
    EXPECT_EQ(texts.ErrorText, "");

    // A refused request fights nothing.
    DuelRequest refused = PistolRequest();
    refused.duellists[1].health = "0";
    const DuelScreenTexts message = RunFairDuel(refused, readings);
    EXPECT_EQ(message.InfoBM1, "");
    EXPECT_EQ(message.ErrorText, texts::kInputError);
}

TEST(FairReplay, AllHundredReadingsServeAnUndecidedDuel) {
    // Health 9999 each and misses in every move but the last: the 100th
    // reading decides what move 100 shows.
    const DuelRequest request = Request(DuelType::Pistols, {{"BP1", "9999"}, {"OgnOr1", "1"}, {"HolOr1", "1"},
                                                            {"StrZ1", "0"}, {"BP2", "9999"}, {"OgnOr2", "1"},
                                                            {"HolOr2", "1"}, {"StrZ2", "0"}});
    Readings readings{};
    readings.fill(ReadingsForMoves({{1, 1}})[0]);
    readings[99] = ReadingsForMoves({{6, 4}})[0];
    const DuelScreenTexts texts = RunFairDuel(request, readings);
    EXPECT_NE(texts.InfoBM1.find("| 9999(1) | 9998(6) | боец покидает"), std::string::npos) << texts.InfoBM1;
    EXPECT_NE(texts.InfoBM2.find("| 9999(1) | 9997(4) | боец покидает"), std::string::npos) << texts.InfoBM2;
    EXPECT_EQ(texts.ErrorText, texts::kLongDuel);
}

TEST(FairVerification, RoundTripOfAwkwardTexts) {
    FairDuel duel = SampleDuel();
    duel.word1 = "a&b=c%d#e f+g/h?i";
    duel.word2 = std::string(100, '~');
    duel.request = Request(DuelType::ColdWeapons, {{"BP1", "-1 "}, {"OgnOr1", "$1E"}, {"HolOr1", "ёж"},
                                                   {"StrZ1", "%20"}, {"StrSt11", "&"}, {"StrSt12", "="},
                                                   {"StrSt13", "#"}, {"StrSt14", " "}, {"BP2", ""}});
    std::string scheme;
    for (int i = 0; i < 100; ++i) scheme += "Ж";
    duel.request.duellists[1].scheme = scheme;

    const std::string text = FormatVerification(duel);
    // One line of URL-fragment-safe characters.
    for (const char c : text) {
        const bool plain = std::isalnum(static_cast<unsigned char>(c)) || std::string_view("-._~%&=").find(c) !=
                                                                                std::string_view::npos;
        EXPECT_TRUE(plain) << "character " << ::testing::PrintToString(c) << " in " << text;
    }
    EXPECT_EQ(text.rfind("saberline-fair-v1&secret=", 0), 0u) << text;

    const auto parsed = ParseVerification(text);
    ASSERT_TRUE(std::holds_alternative<FairDuel>(parsed)) << std::get<std::string>(parsed);
    const FairDuel& back = std::get<FairDuel>(parsed);
    EXPECT_EQ(back.secret, duel.secret);
    EXPECT_EQ(back.word1, duel.word1);
    EXPECT_EQ(back.word2, duel.word2);
    EXPECT_EQ(back.request.type, duel.request.type);
    EXPECT_EQ(CanonicalRequest(back.request), CanonicalRequest(duel.request));
    EXPECT_EQ(FormatVerification(back), text);
}

// The page's verification link, whole or as its fragment, reads as the
// verification it carries.
TEST(FairVerification, ReadsTheVerificationLink) {
    const FairDuel duel = SampleDuel();
    const std::string fragment = LinkFragment(duel);
    EXPECT_EQ(fragment, "fair:" + FormatVerification(duel));
    for (const std::string& text : {fragment, "https://example.org/saberline.html#" + fragment,
                                    "file:///home/referee/saberline.html?clock=1#" + fragment}) {
        const auto parsed = ParseVerification(text);
        ASSERT_TRUE(std::holds_alternative<FairDuel>(parsed)) << text;
        EXPECT_EQ(FormatVerification(std::get<FairDuel>(parsed)), FormatVerification(duel));
    }
    const auto parsed = ParseVerification("https://example.org/saberline.html#duel=1&BP1=30");
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
    EXPECT_EQ(std::get<std::string>(parsed), "the verification does not start with saberline-fair-v1");
}

// Items may come in any order, escapes in either case, and printable
// characters other than & = # % may stand for themselves.
TEST(FairVerification, ReadsReorderedAndLooselyEscapedText) {
    const FairDuel duel = SampleDuel();
    std::string text = FormatVerification(duel);
    // Move word1 to the end.
    const std::size_t from = text.find("&word1=");
    const std::size_t to = text.find('&', from + 1);
    const std::string item = text.substr(from, to - from);
    text.erase(from, to - from);
    text += item;
    // "Пост" with lowercase escapes, and a literal '+' in duellist 1's scheme.
    const std::string upper = "%D0%9F%D0%BE%D1%81%D1%82";
    text.replace(text.find(upper), upper.size(), "%d0%9f%d0%bE%d1%81%D1%82");
    text.replace(text.find("&ShAtack1="), 10, "&ShAtack1=+!");

    const auto parsed = ParseVerification(text);
    ASSERT_TRUE(std::holds_alternative<FairDuel>(parsed)) << std::get<std::string>(parsed);
    const FairDuel& back = std::get<FairDuel>(parsed);
    EXPECT_EQ(back.word1, duel.word1);
    EXPECT_EQ(back.word2, duel.word2);
    EXPECT_EQ(back.request.duellists[0].scheme, "+!");
}

TEST(FairVerification, MalformedTextsAreRefusedWithTheirReason) {
    const std::string good = FormatVerification(SampleDuel());
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const std::size_t at = text.find(from);
        if (at == std::string::npos) throw std::logic_error("no " + from);
        return text.replace(at, from.size(), to);
    };
    struct Case {
        std::string text;
        std::string reason;
    };
    const Case cases[] = {
        {"", "the verification does not start with saberline-fair-v1"},
        {"https://example.org/", "the verification does not start with saberline-fair-v1"},
        {replaced("saberline-fair-v1", "saberline-fair-v2"),
         "the verification is of format saberline-fair-v2, this program reads saberline-fair-v1"},
        {"saberline-fair-v1", "the verification lacks \"secret\""},
        {replaced("&word2=", "&wordtwo="), "the verification lacks \"word2\""},
        {good + "&word1=x", "the verification names \"word1\" more than once"},
        {good + "&extra=1", "the verification names an unknown item \"extra\""},
        {good + "&", "the verification has an item without '=': \"\""},
        {replaced("&BP1=30", "&BP1"), "the verification has an item without '=': \"BP1\""},
        {replaced("&secret=", "&secret=0"), "the secret in the verification is not 64 hexadecimal digits"},
        {replaced("&secret=", "&secret=x"), "the secret in the verification is not 64 hexadecimal digits"},
        {replaced("&word1=1523", "&word1="), "\"word1\" in the verification is empty"},
        {replaced("&word2=", "&word2=%0A"), "\"word2\" in the verification contains a control character"},
        {replaced("&word1=1523", "&word1=" + std::string(101, 'w')),
         "\"word1\" in the verification is longer than 100 characters"},
        {replaced("&word1=1523", "&word1=%FF"), "\"word1\" in the verification is not valid UTF-8"},
        {replaced("&TypeBattle=1", "&TypeBattle=4"), "\"TypeBattle\" in the verification must be 1, 2 or 3"},
        {replaced("&TypeBattle=1", "&TypeBattle=01"), "\"TypeBattle\" in the verification must be 1, 2 or 3"},
        {replaced("&BP1=30", "&BP1=12345"), "\"BP1\" in the verification is longer than 4 characters"},
        {replaced("&StrSt14=", "&StrSt14=12"), "\"StrSt14\" in the verification is longer than 1 character"},
        {replaced("&BP1=30", "&BP1=3%000"), "\"BP1\" in the verification contains a zero character"},
        {replaced("&BP1=30", "&BP1=%D0"), "\"BP1\" in the verification is not valid UTF-8"},
        {replaced("&BP1=30", "&BP1=%3"), "the value of \"BP1\" in the verification is not well encoded"},
        {replaced("&BP1=30", "&BP1=%G0"), "the value of \"BP1\" in the verification is not well encoded"},
        {replaced("&BP1=30", "&BP1=3 0"), "the value of \"BP1\" in the verification is not well encoded"},
        {replaced("&BP1=30", "&BP1=3#0"), "the value of \"BP1\" in the verification is not well encoded"},
        {replaced("&BP1=30", "&BP1=3=0"), "the value of \"BP1\" in the verification is not well encoded"},
        {good + "\n", "the value of \"ShAtack2\" in the verification is not well encoded"},
        {good + "&\x01\xFF=1", "the verification names an unknown item \"??\""},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseVerification(c.text);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << c.text;
        EXPECT_EQ(std::get<std::string>(parsed), c.reason) << c.text;
    }
}

// The check compares each posted text with the replay and the posted
// commitment with the secret's hash, and names every one that differs.
TEST(FairCheck, NamesEachPostedTextThatDiffers) {
    const FairDuel duel = SampleDuel();
    const Readings readings = ReadingsOf({{4, 2}, {6, 5}});
    Digest hash{};
    hash[31] = 1;
    Posted posted;
    posted.commitment = hash;
    posted.texts = RunFairDuel(duel.request, readings);

    const FairCheck good = CheckFairDuel(duel, hash, readings, posted);
    EXPECT_TRUE(good.Verified());
    EXPECT_EQ(good.commitment, std::string(63, '0') + "1");
    EXPECT_EQ(good.replayed.InfoBM1, "30 | 30(4) | 24(6) | 24;");

    struct Case {
        void (*tamper)(Posted&);
        std::vector<std::string> differs;
    };
    const Case cases[] = {
        {[](Posted& p) { p.commitment[0] ^= 0x10; }, {"commitment"}},
        {[](Posted& p) { p.texts.InfoBM1[0] = '3'; p.texts.InfoBM1[1] = '1'; }, {"InfoBM1"}},
        {[](Posted& p) { p.texts.InfoBM2.pop_back(); }, {"InfoBM2"}},
        {[](Posted& p) { p.texts.ErrorText = " "; }, {"ErrorText"}},
        {[](Posted& p) { std::swap(p.texts.InfoBM1, p.texts.InfoBM2); }, {"InfoBM1", "InfoBM2"}},
        {[](Posted& p) { p.commitment.fill(0); p.texts = {}; }, {"commitment", "InfoBM1", "InfoBM2"}},
    };
    for (const Case& c : cases) {
        Posted tampered = posted;
        c.tamper(tampered);
        const FairCheck check = CheckFairDuel(duel, hash, readings, tampered);
        EXPECT_FALSE(check.Verified());
        EXPECT_EQ(check.differs, c.differs);
    }

    // Other readings (another secret or word) give another duel.
    Readings other = ReadingsOf({{4, 2}, {6, 4}});
    EXPECT_EQ(CheckFairDuel(duel, hash, other, posted).differs, std::vector<std::string>{"InfoBM2"});
}

}  // namespace
}  // namespace saberline::fair
