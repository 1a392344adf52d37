#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <variant>

#include "DuelTestSupport.h"
#include "Fair.h"
#include "DuelRequest.h"
#include "Texts.h"

namespace saberline::fair {
namespace {

using saberline::testing::ReadingsForMoves;
using saberline::testing::Accepted;
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

DuelRequest ColdRequest() {
    return Request(DuelType::ColdWeapons,
                   {{"BP1", "30"}, {"OgnOr1", "12"}, {"HolOr1", "10"}, {"StrZ1", "0"}, {"StrSt11", "1"},
                    {"StrSt12", "2"}, {"StrSt13", "3"}, {"StrSt14", "4"}, {"ShAtack1", "123456"},
                    {"BP2", "25"}, {"OgnOr2", "9"}, {"HolOr2", "8"}, {"StrZ2", "-2"}, {"StrSt21", "6"},
                    {"StrSt22", "5"}, {"StrSt23", "4"}, {"ShAtack2", "31"}});
}

Secret CountingSecret() {
    Secret secret{};
    for (std::size_t i = 0; i < secret.size(); ++i) secret[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return secret;
}

FairDuel SampleDuel() {
    FairDuel duel;
    duel.secret = CountingSecret();
    duel.word1 = "1523";
    duel.word2 = "1524";
    duel.duel = Accepted(PistolRequest());
    return duel;
}

std::string Piece(std::string_view text) {
    return std::string(3, '\0') + static_cast<char>(text.size()) + std::string(text);
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
        " " + lower.substr(1),       // nothing is trimmed
        lower.substr(0, 63) + "\n",
        "0x" + lower.substr(2),
    };
    for (const std::string& text : refused) EXPECT_FALSE(Hex32(text)) << text;
}

// Each class of word that could look like another on screen is refused.
TEST(FairWord, OneSpellingEach) {
    struct Case {
        std::string word;
        WordProblem problem;
    };
    const Case cases[] = {
        {"0", WordProblem::None},
        {"7", WordProblem::None},
        {"1523", WordProblem::None},
        {"18446744073709551615", WordProblem::None},   // 20 digits
        {"99999999999999999999", WordProblem::None},
        {"", WordProblem::Empty},
        {"101\xE2\x80\x8B", WordProblem::NotAscii},      // zero-width space after it
        {"\xE2\x80\x8D" "101", WordProblem::NotAscii},   // zero-width joiner
        {"\xEF\xBB\xBF" "101", WordProblem::NotAscii},   // byte order mark
        {"10\xC2\xAD" "1", WordProblem::NotAscii},       // soft hyphen
        {"\xE2\x80\x8E" "101", WordProblem::NotAscii},   // left-to-right mark
        {"1\xD0\x9E" "1", WordProblem::NotAscii},        // Cyrillic О for 0
        {"\xD0\x9F" "o\xD1\x81\xD1\x82", WordProblem::NotAscii},  // "Пост" with a Latin o
        {"1\xCC\x81", WordProblem::NotAscii},            // a decomposed accent
        {"\xC3\xA9", WordProblem::NotAscii},             // é composed
        {"e\xCC\x81", WordProblem::NotAscii},            // é decomposed
        {"\xEF\xBC\x91\xEF\xBC\x90\xEF\xBC\x91", WordProblem::NotAscii},  // full-width 101
        {"\xD9\xA1\xD9\xA0\xD9\xA1", WordProblem::NotAscii},              // Arabic-Indic 101
        {"\xC2\xB9", WordProblem::NotAscii},             // superscript one
        {"101\xC2\xA0", WordProblem::NotAscii},          // no-break space
        {"\xFF", WordProblem::NotAscii},                 // not UTF-8 at all
        {"1O1", WordProblem::NotDigit},                  // Latin O for 0
        {"l01", WordProblem::NotDigit},                  // Latin l for 1
        {"+101", WordProblem::NotDigit},
        {"-101", WordProblem::NotDigit},
        {" 101", WordProblem::NotDigit},
        {"101 ", WordProblem::NotDigit},
        {"1 01", WordProblem::NotDigit},
        {"101\t", WordProblem::NotDigit},
        {"101\n", WordProblem::NotDigit},
        {std::string("1\0" "1", 3), WordProblem::NotDigit},
        {"1e3", WordProblem::NotDigit},
        {"$65", WordProblem::NotDigit},
        {"0101", WordProblem::LeadingZero},
        {"00", WordProblem::LeadingZero},
        {"184467440737095516150", WordProblem::TooLong},  // 21 digits
    };
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<int>(CheckWord(c.word)), static_cast<int>(c.problem)) << ::testing::PrintToString(c.word);
}

// Over random texts of digits and their look-alikes, the accepted words
// are exactly the decimal numbers of up to 20 digits without leading zeros.
TEST(FairWord, AcceptsExactlyTheDecimalNumbers) {
    const std::vector<std::string> pieces{"0", "1", "5", "9", " ", "+", "-", "O", "\xEF\xBC\x91", "\xE2\x80\x8B",
                                          "\xD0\x9E"};
    const std::regex number("0|[1-9][0-9]{0,19}");
    std::mt19937 random(7);
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string word;
        const int length = std::uniform_int_distribution<int>(0, 22)(random);
        const bool digitsOnly = i % 2 == 0;
        for (int k = 0; k < length; ++k)
            word += pieces[std::uniform_int_distribution<std::size_t>(0, digitsOnly ? 3 : pieces.size() - 1)(random)];
        const bool isNumber = std::regex_match(word, number);
        EXPECT_EQ(CheckWord(word) == WordProblem::None, isNumber) << ::testing::PrintToString(word);
        accepted += isNumber;
    }
    EXPECT_GT(accepted, 1000);
}

// The documented layout, spelled out byte by byte for a small duel.
TEST(FairMessage, LayoutOfReseedOne) {
    FairDuel duel;
    duel.word1 = "12";
    duel.word2 = "0";
    duel.duel = Accepted(PistolRequest());
    auto int32 = [](std::uint8_t low) { return std::string(3, '\0') + static_cast<char>(low); };
    // The format, the rules' version (1), then the canonical duel.
    const std::string expected = Piece("saberline-fair-v3") + int32(1) + int32(1) + int32(30) + int32(12) +
                                 int32(3) + int32(20) + int32(9) + int32(4) + Piece("12") + Piece("0");
    EXPECT_EQ(MessagePrefix(duel), expected);
    EXPECT_EQ(ReseedMessage(MessagePrefix(duel), 1), expected + int32(1));
    EXPECT_EQ(ReseedMessage(MessagePrefix(duel), 0x01020304), expected + "\x01\x02\x03\x04");
}

// Changing anything that fixes the dice gives another message: words,
// their order, a digit moved from one word to the other, the duel.
TEST(FairMessage, EveryChangeGivesAnotherMessage) {
    const FairDuel base = SampleDuel();
    std::vector<FairDuel> variants;
    auto variant = [&](auto change) {
        FairDuel duel = base;
        change(duel);
        variants.push_back(duel);
    };
    variant([](FairDuel&) {});
    variant([](FairDuel& d) { d.word1 = "152"; d.word2 = "31524"; });
    variant([](FairDuel& d) { d.word1 = "1524"; });
    variant([](FairDuel& d) { d.word2 = "1525"; });
    variant([](FairDuel& d) { std::swap(d.word1, d.word2); });
    variant([](FairDuel& d) { d.duel = Accepted(ColdRequest()); });
    variant([](FairDuel& d) {
        DuelRequest mixed = ColdRequest();
        mixed.type = DuelType::Mixed;
        d.duel = Accepted(mixed);
    });
    variant([](FairDuel& d) { d.duel.duellists[0].health += 1; });
    variant([](FairDuel& d) { std::swap(d.duel.duellists[0], d.duel.duellists[1]); });
    std::set<std::string> messages;
    for (const FairDuel& duel : variants) messages.insert(MessagePrefix(duel));
    EXPECT_EQ(messages.size(), variants.size());

    // Neither the secret (the HMAC's key) nor the salts enter the message.
    FairDuel salted = base;
    salted.secret[0] ^= 1;
    salted.salt1 = Salt{};
    salted.salt2 = Salt{1};
    EXPECT_EQ(MessagePrefix(salted), MessagePrefix(base));

    std::set<std::string> reseeds;
    for (std::uint32_t n = 1; n <= 300; ++n) reseeds.insert(ReseedMessage(MessagePrefix(base), n));
    EXPECT_EQ(reseeds.size(), 300u);
}

TEST(FairMessage, CommitmentLayouts) {
    Salt salt{};
    for (std::size_t i = 0; i < salt.size(); ++i) salt[i] = static_cast<std::uint8_t>(0xA0 + i);
    const std::string expected =
        Piece("saberline-fair-v3-word") + std::string(salt.begin(), salt.end()) + Piece("1523");
    EXPECT_EQ(WordCommitmentMessage(salt, "1523"), expected);

    // The referee's binds the rules' version, the secret and the duel.
    const FairDuel duel = SampleDuel();
    const std::string rules = std::string(3, '\0') + static_cast<char>(kRulesVersion);
    EXPECT_EQ(RefereeCommitmentMessage(duel.secret, duel.duel),
              Piece("saberline-fair-v3-referee") + rules + std::string(duel.secret.begin(), duel.secret.end()) +
                  DuelBytes(duel.duel));

    // The three kinds of message part at their first piece, each its own.
    const std::set<std::string> firstPieces{WordCommitmentMessage(salt, "1523").substr(0, 26),
                                            RefereeCommitmentMessage(duel.secret, duel.duel).substr(0, 26),
                                            MessagePrefix(duel).substr(0, 26)};
    EXPECT_EQ(firstPieces.size(), 3u);
}

// A drawn word is the 8 bytes' value in decimal: every value a word.
TEST(FairWord, DrawnFromEightBytes) {
    struct Case {
        std::array<std::uint8_t, kWordBytes> bytes;
        const char* word;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0, 0, 0}, "0"},
        {{0, 0, 0, 0, 0, 0, 0, 7}, "7"},
        {{0, 0, 0, 0, 0, 0, 1, 0}, "256"},
        {{1, 0, 0, 0, 0, 0, 0, 0}, "72057594037927936"},
        {{0x80, 0, 0, 0, 0, 0, 0, 1}, "9223372036854775809"},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "18446744073709551615"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DrawnWord(c.bytes), c.word);
        EXPECT_EQ(CheckWord(DrawnWord(c.bytes)), WordProblem::None);
    }
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
    const DuelScreenTexts texts = RunFairDuel(Accepted(PistolRequest()), readings);
    EXPECT_EQ(texts.InfoBM1, "30 | 30(4) | 24(6) | 24;");
    EXPECT_EQ(texts.InfoBM2, "20 | 12(2) | -8(5) | убит: поражение;");
    EXPECT_EQ(texts.ErrorText, "");
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
    const DuelScreenTexts texts = RunFairDuel(Accepted(request), readings);
    EXPECT_NE(texts.InfoBM1.find("| 9999(1) | 9998(6) | боец покидает"), std::string::npos) << texts.InfoBM1;
    EXPECT_NE(texts.InfoBM2.find("| 9999(1) | 9997(4) | боец покидает"), std::string::npos) << texts.InfoBM2;
    EXPECT_EQ(texts.ErrorText, texts::kLongDuel);
}

// --- The verification text ------------------------------------------------------

TEST(FairVerification, IsTheCanonicalRequestInOneLine) {
    FairDuel duel = SampleDuel();
    duel.duel = Accepted(ColdRequest());
    const std::string secret = ToHex(duel.secret);
    const std::string fields =
        "&TypeBattle=2&BP1=30&OgnOr1=1&HolOr1=10&StrZ1=0&StrSt11=1&StrSt12=2&StrSt13=3&StrSt14=4&ShAtack1=123456"
        "&BP2=25&OgnOr2=1&HolOr2=8&StrZ2=-2&StrSt21=4&StrSt22=5&StrSt23=6&StrSt24=&ShAtack2=31";
    EXPECT_EQ(FormatVerification(duel),
              "saberline-fair-v3&rules=1&secret=" + secret + "&word1=1523&word2=1524" + fields);
    duel.salt2 = Salt{};
    duel.salt2->back() = 0xAB;
    EXPECT_EQ(FormatVerification(duel), "saberline-fair-v3&rules=1&secret=" + secret +
                                            "&word1=1523&word2=1524&salt2=" + std::string(62, '0') + "ab" + fields);
    duel.salt1 = Salt{};
    EXPECT_NE(FormatVerification(duel).find("&word2=1524&salt1=" + std::string(64, '0') + "&salt2="),
              std::string::npos);
}

TEST(FairVerification, ReadsBackWhatItWrites) {
    std::vector<FairDuel> duels;
    FairDuel duel = SampleDuel();
    duels.push_back(duel);
    duel.duel = Accepted(ColdRequest());
    duel.word1 = "0";
    duel.word2 = "18446744073709551615";
    duel.salt1 = Salt{};
    duels.push_back(duel);
    DuelRequest mixed = ColdRequest();
    mixed.type = DuelType::Mixed;
    duel.duel = Accepted(mixed);
    duel.salt2 = Salt{9};
    duels.push_back(duel);
    for (const FairDuel& written : duels) {
        const std::string text = FormatVerification(written);
        const auto parsed = ParseVerification(text);
        ASSERT_TRUE(std::holds_alternative<FairDuel>(parsed)) << text;
        const FairDuel& back = std::get<FairDuel>(parsed);
        EXPECT_EQ(back.secret, written.secret);
        EXPECT_EQ(back.word1, written.word1);
        EXPECT_EQ(back.word2, written.word2);
        EXPECT_EQ(back.salt1, written.salt1);
        EXPECT_EQ(back.salt2, written.salt2);
        EXPECT_EQ(back.duel, written.duel);
    }
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
}

TEST(FairVerification, EveryOtherTextIsRefusedWithItsReason) {
    const std::string good = FormatVerification(SampleDuel());
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const std::size_t at = text.find(from);
        if (at == std::string::npos) throw std::logic_error("no " + from);
        return text.replace(at, from.size(), to);
    };
    using P = VerificationProblem;
    struct Case {
        std::string text;
        P problem;
        std::string item;
        WordProblem word = WordProblem::None;
        TextProblem field = TextProblem::None;
    };
    const std::string secret = ToHex(CountingSecret());
    // A value one character longer than the screen's field takes.
    auto tooLong = [](const char* name, char c) {
        return std::string(static_cast<std::size_t>(FindDuelField(name)->maxLength) + 1, c);
    };
    std::string upperSecret = secret;
    std::transform(upperSecret.begin(), upperSecret.end(), upperSecret.begin(),
                   [](char c) { return static_cast<char>(std::toupper(c)); });
    const Case cases[] = {
        {"", P::NotAVerification, ""},
        {"https://example.org/saberline.html#duel=1&BP1=30", P::NotAVerification, ""},
        {" " + good, P::NotAVerification, ""},
        {replaced("saberline-fair-v3", "saberline-fair-v2"), P::WrongVersion, "saberline-fair-v2"},
        {replaced("saberline-fair-v3&rules=1", "saberline-fair-v2"), P::WrongVersion, "saberline-fair-v2"},
        {replaced("saberline-fair-v3", "saberline-fair-v9\x01"), P::WrongVersion, "saberline-fair-v9?"},
        // Another rules' version is named whatever else the text holds.
        {replaced("&rules=1", "&rules=2"), P::WrongRules, "2"},
        {replaced("&rules=1", "&rules=2") + "&NewField=7", P::WrongRules, "2"},
        {replaced("&rules=1", "&rules=01"), P::WrongRules, "01"},
        {replaced("&rules=1", "") + "&rules=3", P::WrongRules, "3"},
        {replaced("&rules=1", ""), P::MissingItem, "rules"},
        {"saberline-fair-v3", P::MissingItem, "rules"},
        {"saberline-fair-v3&rules=1", P::MissingItem, "secret"},
        // Before "#fair:" stands an address, never a verification.
        {good + "#fair:" + good, P::AddressHoldsVerification, ""},
        {"https://example.org/Saberline-Fair-v3/page.html#fair:" + good, P::AddressHoldsVerification, ""},
        {"https://example.org/saberline-fair.html#fair:" + good, P::AddressHoldsVerification, ""},
        {replaced("&word2=", "&wordtwo="), P::UnknownItem, "wordtwo"},
        {good + "&word1=1", P::RepeatedItem, "word1"},
        {good + "&", P::ItemWithoutEquals, ""},
        {replaced("&BP1=30", "&BP1"), P::ItemWithoutEquals, "BP1"},
        {good + "&\x01\xFF=1", P::UnknownItem, "??"},
        {good + "\n", P::BadCharacter, "ShAtack2"},
        {good + " ", P::BadCharacter, "ShAtack2"},
        {replaced("&BP1=30", "&BP1=%33%30"), P::BadCharacter, "BP1"},
        {replaced("&BP1=30", "&BP1=+30"), P::BadCharacter, "BP1"},
        {replaced("&word1=1523", "&word1=1523%E2%80%8B"), P::BadCharacter, "word1"},
        {replaced("&word1=1523", "&word1=\xEF\xBC\x91"), P::BadCharacter, "word1"},
        {replaced(secret, secret.substr(1)), P::SecretBad, "secret"},
        {replaced(secret, upperSecret), P::SecretBad, "secret"},
        {replaced("&word1=1523", "&word1="), P::WordBad, "word1", WordProblem::Empty},
        {replaced("&word1=1523", "&word1=01523"), P::WordBad, "word1", WordProblem::LeadingZero},
        {replaced("&word2=1524", "&word2=-1524"), P::WordBad, "word2", WordProblem::NotDigit},
        {replaced("&word2=1524", "&word2=" + std::string(21, '9')), P::WordBad, "word2", WordProblem::TooLong},
        {replaced("&TypeBattle", "&salt1=" + secret.substr(2) + "&TypeBattle"), P::SaltBad, "salt1"},
        {replaced("&TypeBattle", "&salt2=" + upperSecret + "&TypeBattle"), P::SaltBad, "salt2"},
        {replaced("&TypeBattle=1", "&TypeBattle=4"), P::TypeBad, "TypeBattle"},
        {replaced("&TypeBattle=1", "&TypeBattle=01"), P::TypeBad, "TypeBattle"},
        {replaced("&BP1=30", "&BP1=" + tooLong("BP1", '1')), P::FieldBad, "BP1", WordProblem::None,
         TextProblem::TooLong},
        {replaced("&StrSt14=", "&StrSt14=" + tooLong("StrSt14", '1')), P::FieldBad, "StrSt14", WordProblem::None,
         TextProblem::TooLong},
        {replaced("&BP1=30", "&BP1=0"), P::RequestRefused, ""},
        {replaced("&BP1=30", "&BP1=030"), P::NotCanonical, "BP1"},
        {replaced("&BP1=30", "&BP1=x1E"), P::NotCanonical, "BP1"},
        {replaced("&HolOr1=1", "&HolOr1=5"), P::NotCanonical, "HolOr1"},
        {replaced("&ShAtack1=", "&ShAtack1=12"), P::NotCanonical, "ShAtack1"},
        {replaced("&StrSt11=", "&StrSt11=1"), P::NotCanonical, "StrSt11"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        const auto parsed = ParseVerification(c.text);
        ASSERT_TRUE(std::holds_alternative<VerificationRefusal>(parsed));
        const VerificationRefusal& refusal = std::get<VerificationRefusal>(parsed);
        EXPECT_EQ(static_cast<int>(refusal.problem), static_cast<int>(c.problem));
        EXPECT_EQ(refusal.item, c.item);
        EXPECT_EQ(refusal.word, c.word);
        EXPECT_EQ(refusal.text, c.field);
    }
    const auto refused = ParseVerification(replaced("&BP1=30", "&BP1=0"));
    EXPECT_EQ(std::get<VerificationRefusal>(refused).message, texts::kInputError);

    // The same items in another order: one duel has one text.
    std::string reordered = good;
    const std::size_t from = reordered.find("&word1=");
    const std::size_t to = reordered.find('&', from + 1);
    const std::string item = reordered.substr(from, to - from);
    reordered.erase(from, to - from);
    reordered += item;
    const auto moved = ParseVerification(reordered);
    ASSERT_TRUE(std::holds_alternative<VerificationRefusal>(moved));
    EXPECT_EQ(std::get<VerificationRefusal>(moved).problem, P::OutOfOrder);
}

// --- The check -------------------------------------------------------------------

// The check compares each posted text with the replay, the posted
// commitments with the computed ones, and names every one that differs.
TEST(FairCheck, NamesEachPostedTextThatDiffers) {
    FairDuel duel = SampleDuel();
    duel.salt1 = Salt{};
    duel.salt2 = Salt{2};
    const Readings readings = ReadingsOf({{4, 2}, {6, 5}});
    // Commitments as a shell's SHA-256 would give them; the check only
    // compares them.
    Commitments computed;
    computed.referee[31] = 1;
    computed.player1 = Digest{11};
    computed.player2 = Digest{22};
    Posted posted;
    posted.commitment = computed.referee;
    posted.commitment1 = computed.player1;
    posted.commitment2 = computed.player2;
    posted.texts = RunFairDuel(duel.duel, readings);

    const FairCheck good = CheckFairDuel(duel, computed, readings, posted);
    EXPECT_TRUE(good.Verified());
    EXPECT_EQ(good.replayed.InfoBM1, "30 | 30(4) | 24(6) | 24;");
    // Without the players' commitments the verification carries no salts.
    FairDuel plain = duel;
    plain.salt1.reset();
    plain.salt2.reset();
    Commitments plainComputed = computed;
    plainComputed.player1.reset();
    plainComputed.player2.reset();
    Posted unposted = posted;
    unposted.commitment1.reset();
    unposted.commitment2.reset();
    EXPECT_TRUE(CheckFairDuel(plain, plainComputed, readings, unposted).Verified());

    struct Case {
        void (*tamper)(Posted&, FairDuel&);
        std::vector<std::string> differs;
    };
    const Case cases[] = {
        {[](Posted& p, FairDuel&) { p.commitment[0] ^= 0x10; }, {"commitment"}},
        {[](Posted& p, FairDuel&) { (*p.commitment1)[5] ^= 1; }, {"commitment1"}},
        {[](Posted& p, FairDuel&) { std::swap(p.commitment1, p.commitment2); }, {"commitment1", "commitment2"}},
        {[](Posted&, FairDuel& d) { d.salt2.reset(); }, {"commitment2"}},  // posted, but no salt revealed
        // A salt without its player's posted commitment: another verification
        // of the same duel, which one duel never has.
        {[](Posted& p, FairDuel&) { p.commitment1.reset(); }, {"commitment1"}},
        {[](Posted& p, FairDuel&) { p.commitment1.reset(); p.commitment2.reset(); }, {"commitment1", "commitment2"}},
        {[](Posted& p, FairDuel&) { p.texts.InfoBM1[0] = '3'; p.texts.InfoBM1[1] = '1'; }, {"InfoBM1"}},
        {[](Posted& p, FairDuel&) { p.texts.InfoBM2.pop_back(); }, {"InfoBM2"}},
        {[](Posted& p, FairDuel&) { p.texts.ErrorText = " "; }, {"ErrorText"}},
        {[](Posted& p, FairDuel&) { std::swap(p.texts.InfoBM1, p.texts.InfoBM2); }, {"InfoBM1", "InfoBM2"}},
        {[](Posted& p, FairDuel&) { p.commitment.fill(0); p.texts = {}; }, {"commitment", "InfoBM1", "InfoBM2"}},
    };
    for (const Case& c : cases) {
        Posted tampered = posted;
        FairDuel revealed = duel;
        c.tamper(tampered, revealed);
        Commitments recomputed = computed;
        if (!revealed.salt2) recomputed.player2.reset();
        const FairCheck check = CheckFairDuel(revealed, recomputed, readings, tampered);
        EXPECT_FALSE(check.Verified());
        EXPECT_EQ(check.differs, c.differs);
    }

    // Each of the duel screen's outputs is compared, and named alone when it
    // alone differs.
    for (const DuelResult& result : kDuelResults) {
        Posted tampered = posted;
        (tampered.texts.*result.text) += ' ';
        EXPECT_EQ(CheckFairDuel(duel, computed, readings, tampered).differs, std::vector<std::string>{result.name});
    }

    // Other readings (another secret or word) give another duel.
    const Readings other = ReadingsOf({{4, 2}, {6, 4}});
    EXPECT_EQ(CheckFairDuel(duel, computed, other, posted).differs, std::vector<std::string>{"InfoBM2"});

    // Before a fight only the commitments given are compared: the
    // referee's when given, the players' as in the check.
    EXPECT_TRUE(DifferingCommitments(duel, computed, std::nullopt, posted.commitment1, posted.commitment2).empty());
    Digest otherReferee = computed.referee;
    otherReferee[0] ^= 1;
    EXPECT_EQ(DifferingCommitments(duel, computed, otherReferee, posted.commitment1, std::nullopt),
              (std::vector<std::string>{"commitment", "commitment2"}));
}

}  // namespace
}  // namespace saberline::fair
