#include "DuelLink.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "Dice.h"
#include "DuelParts.h"
#include "DuelTestSupport.h"
#include "Odds.h"
#include "Readings.h"
#include "Texts.h"
#include "Utf8.h"

namespace saberline {
namespace {

using testing::Request;

DuelRequest ColdRequest() {
    return Request(DuelType::ColdWeapons,
                   {{"BP1", "30"}, {"OgnOr1", "12"}, {"HolOr1", "10"}, {"StrZ1", "0"},
                    {"StrSt11", "1"}, {"StrSt12", "2"}, {"StrSt13", "3"}, {"StrSt14", "4"},
                    {"ShAtack1", "123456"}, {"BP2", "25"}, {"OgnOr2", "9"}, {"HolOr2", "8"},
                    {"StrZ2", "2"}, {"StrSt21", "6"}, {"StrSt22", "5"}, {"StrSt23", "4"},
                    {"ShAtack2", "6& =%"}});
}

void ExpectSameRequest(const DuelRequest& a, const DuelRequest& b) {
    DuelRequest x = a, y = b;
    EXPECT_EQ(x.type, y.type);
    for (const DuelField& field : kDuelFields) EXPECT_EQ(FieldText(x, field), FieldText(y, field)) << field.name;
}

TEST(DuelLinkTest, CarriesTheRequestAndReadingsThereAndBack) {
    const DuelRequest request = ColdRequest();
    const std::vector<std::uint64_t> readings{5, UINT64_MAX, 42};
    const std::string link = WriteDuelLink(request, readings);
    EXPECT_EQ(link.rfind("duel=1&BP1=30&OgnOr1=12&", 0), 0u) << link;
    EXPECT_NE(link.find("&ShAtack2=6%26%20%3D%25&"), std::string::npos) << link;
    EXPECT_NE(link.find("&TypeBattle=2&clock=5,18446744073709551615,42&check="), std::string::npos) << link;
    const auto read = ReadDuelLink(link);
    ASSERT_TRUE(read);
    ExpectSameRequest(read->request, request);
    EXPECT_EQ(read->readings, readings);

    // Cyrillic and the start-up request survive too.
    DuelRequest cyrillic = DuelRequest::StartUp();
    cyrillic.duellists[0].scheme = "ёж";
    cyrillic.type = DuelType::Mixed;
    const auto back = ReadDuelLink(WriteDuelLink(cyrillic, {1}));
    ASSERT_TRUE(back);
    ExpectSameRequest(back->request, cyrillic);
}

TEST(DuelLinkTest, ReplayingTheReadingsGivesTheSameDuel) {
    const DuelRequest request = Request(DuelType::Mixed, {{"OgnOr1", "12"}, {"HolOr1", "10"}, {"StrZ1", "1"},
                                                          {"StrSt11", "1"}, {"StrSt12", "2"}, {"StrSt13", "3"},
                                                          {"ShAtack1", "5"}, {"OgnOr2", "9"}, {"HolOr2", "8"},
                                                          {"StrZ2", "2"}, {"StrSt21", "6"}, {"StrSt22", "5"},
                                                          {"StrSt23", "4"}, {"ShAtack2", "21"}});
    CountingClock counting(1000);
    RecordingClock recorder(counting);
    Dice dice(recorder);
    const DuelScreenTexts thrown = RunDuelRequest(request, dice);
    ASSERT_EQ(thrown.ErrorText.find("Внимание"), std::string::npos);
    ASSERT_FALSE(recorder.Readings().empty());
    EXPECT_EQ(recorder.Readings().front(), 1000u);

    const auto link = ReadDuelLink(WriteDuelLink(request, recorder.Readings()));
    ASSERT_TRUE(link);
    ListClock list(link->readings);
    Dice replay(list);
    const DuelScreenTexts replayed = RunDuelRequest(link->request, replay);
    EXPECT_EQ(replayed.InfoBM1, thrown.InfoBM1);
    EXPECT_EQ(replayed.InfoBM2, thrown.InfoBM2);
    EXPECT_EQ(replayed.ErrorText, thrown.ErrorText);
}

TEST(DuelLinkTest, RefusesCutAlteredAndMalformedLinks) {
    const std::string good = WriteDuelLink(ColdRequest(), {5, 6});
    // Every cut of the link is refused, and so is any single changed character.
    for (std::size_t length = 0; length < good.size(); ++length)
        EXPECT_FALSE(ReadDuelLink(good.substr(0, length))) << length;
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::string altered = good;
        altered[at] = altered[at] == 'x' ? 'y' : 'x';
        EXPECT_FALSE(ReadDuelLink(altered)) << at;
    }

    // Well-checked links that break a rule: rebuilt with a fresh check so
    // only the rule can refuse them.
    auto resigned = [](const std::string& body) {
        // The check: FNV-1a of the body, eight lowercase hexadecimal digits.
        std::uint32_t hash = 2166136261u;
        for (const char c : body) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
        char check[9];
        std::snprintf(check, sizeof check, "%08x", hash);
        return body + "&check=" + check;
    };
    const std::string body = good.substr(0, good.rfind("&check="));
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string b = body;
        const std::size_t at = b.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        b.replace(at, from.size(), to);
        return resigned(b);
    };
    // A field's text of its most characters, and of one more.
    auto repeated = [](const char* field, const std::string& character, int extra) {
        std::string text;
        for (int i = 0; i < FindDuelField(field)->maxLength + extra; ++i) text += character;
        return std::string(field) + "=" + text;
    };
    EXPECT_TRUE(ReadDuelLink(resigned(body)));
    EXPECT_TRUE(ReadDuelLink(replaced("BP1=30", repeated("BP1", "9", 0))));
    EXPECT_TRUE(ReadDuelLink(replaced("StrSt11=1", repeated("StrSt11", "%D1%91", 0))));  // Cyrillic letters
    EXPECT_TRUE(ReadDuelLink(replaced("ShAtack1=123456", repeated("ShAtack1", "%D1%91", 0))));

    // Faults of the link itself.
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"duel=1", "duel=2"},
             {"TypeBattle=2", "TypeBattle=4"},
             {"TypeBattle=2", "TypeBattle="},
             {"clock=5,6", "clock=5,,6"},
             {"clock=5,6", "clock="},
             {"StrSt11=1", "StrSt11=%G1"},  // bad escapes
             {"StrSt11=1", "StrSt11=%1"},
             {"&BP2=25", ""},               // a field missing
             {"BP2=25", "BP2=25&BP2=25"},   // a field twice
             {"BP2=25", "XX2=25"},          // an unknown key
             {"clock=5,6", "clock=5,6&more=1"},
         }) {
        DuelLinkRefusal refusal;
        EXPECT_FALSE(ReadDuelLink(replaced(from, to), &refusal)) << to;
        EXPECT_EQ(refusal.field, nullptr) << to;
    }

    // A text that no field of the screen can show or hold is refused, with
    // the field and why: a field would drop a line break the replay kept
    // (30 shown, the input error replayed).
    struct FieldCase {
        std::string from, to;
        const char* field;
        TextProblem problem;
    };
    for (const FieldCase& c : std::vector<FieldCase>{
             {"BP1=30", "BP1=3%0A0", "BP1", TextProblem::ControlCharacter},
             {"ShAtack1=123456", "ShAtack1=12%093", "ShAtack1", TextProblem::ControlCharacter},
             {"StrSt11=1", "StrSt11=%7F", "StrSt11", TextProblem::ControlCharacter},
             {"StrSt11=1", "StrSt11=%C2%85", "StrSt11", TextProblem::ControlCharacter},  // U+0085
             {"StrSt11=1", "StrSt11=%00", "StrSt11", TextProblem::ZeroCharacter},
             {"StrSt11=1", "StrSt11=%D1", "StrSt11", TextProblem::NotUtf8},
             {"BP1=30", repeated("BP1", "9", 1), "BP1", TextProblem::TooLong},
             {"StrSt11=1", repeated("StrSt11", "%D1%91", 1), "StrSt11", TextProblem::TooLong},
         }) {
        DuelLinkRefusal refusal;
        EXPECT_FALSE(ReadDuelLink(replaced(c.from, c.to), &refusal)) << c.to;
        ASSERT_NE(refusal.field, nullptr) << c.to;
        EXPECT_STREQ(refusal.field->name, c.field) << c.to;
        EXPECT_EQ(refusal.problem, c.problem) << c.to;
    }

    std::string hundredAndOne = "1";
    for (int i = 1; i < 101; ++i) hundredAndOne += ",1";
    EXPECT_FALSE(ReadDuelLink(replaced("clock=5,6", "clock=" + hundredAndOne)));
    EXPECT_TRUE(ReadDuelLink(replaced("clock=5,6", "clock=" + hundredAndOne.substr(2))));
}

// The check is no seal: a link written by anyone, with readings of their
// choosing and its own check, reads as well as one the page made. A duel
// link proves nothing about its dice (the page's replay mark says so).
TEST(DuelLinkTest, AnyoneCanWriteALinkWithDiceOfTheirChoosing) {
    const DuelRequest request = Request(DuelType::Pistols, {{"OgnOr1", "20"}, {"HolOr1", "1"}, {"StrZ1", "0"},
                                                            {"OgnOr2", "20"}, {"HolOr2", "1"}, {"StrZ2", "0"}});
    // Duellist 2 throws a 6 every move (a double shot of 40 against a
    // health of 30), duellist 1 a 1: duellist 1 falls in the first move.
    const std::vector<std::uint64_t> chosen(100, testing::ReadingForDice(1, 6));
    const auto link = ReadDuelLink(WriteDuelLink(request, chosen));
    ASSERT_TRUE(link);
    ListClock list(link->readings);
    Dice dice(list);
    const DuelScreenTexts replayed = RunDuelRequest(link->request, dice);
    EXPECT_EQ(replayed.InfoBM1, "30 | -10(1) |" + std::string(texts::kLogLoserEnd)) << replayed.ErrorText;
    const std::string mark = texts::kReplayMark;
    EXPECT_NE(mark.find("ничего не доказывает"), std::string::npos) << mark;
    EXPECT_NE(mark.find("проверка честной дуэли"), std::string::npos) << mark;
}

TEST(OddsText, OneDecimalAsTheCommandLineShowsThem) {
    EXPECT_EQ(PercentText(0.0), "0.0 %");
    EXPECT_EQ(PercentText(1.0), "100.0 %");
    EXPECT_EQ(PercentText(0.4536), "45.4 %");
    EXPECT_EQ(MovesText(12.349), "12.3");
    EXPECT_EQ(MovesText(100.0), "100.0");
}

}  // namespace
}  // namespace saberline
