// The texts the referee writes about a result besides the logs: the forum
// post in plain text and BBCode, and the help's account of the logs'
// notation, held against what the log writer writes.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "DuelParts.h"
#include "ForumPost.h"
#include "MoveLog.h"
#include "Texts.h"

namespace saberline {
namespace {

// A result as the duel screen shows it; any further output stays empty.
DuelScreenTexts Shown(std::string log1, std::string log2, std::string message = {}) {
    DuelScreenTexts shown;
    shown.InfoBM1 = std::move(log1);
    shown.InfoBM2 = std::move(log2);
    shown.ErrorText = std::move(message);
    return shown;
}

const DuelScreenTexts kWon = Shown("30 | 30(4) | 24(6) | 24;", "20 | 12(2) | -8(5) | убит: поражение;");
const DuelScreenTexts kLong = Shown("9 | 9(1) | боец покидает арену непобеждённым.",
                                   "9 | 9(1) | боец покидает арену непобеждённым.", texts::kLongDuel);
const std::string kLink = "https://forum.example/saberline.html#duel=1&BP1=30&check=0a1b2c3d";
const FairPostParts kFairAll{"https://forum.example/saberline.html#fair:saberline-fair-v1&s=ab", std::string(64, 'c'),
                             std::string(64, 'd'), std::string(64, 'e')};
const FairPostParts kFairOne{"https://forum.example/saberline.html#fair:saberline-fair-v1&s=ab", std::string(64, 'c'),
                             "", std::string(64, 'e')};
const FairPostParts kNoFair{};

struct PostCase {
    const char* what;
    const DuelScreenTexts* shown;
    std::string link;
    const FairPostParts* fair;
    PostFormat format;
    std::string post;
};

TEST(ForumPost, EachPartInItsPlaceInPlainTextAndBBCode) {
    const std::string c(64, 'c'), d(64, 'd'), e(64, 'e');
    const std::vector<PostCase> cases = {
        {"plain, no message, no link", &kWon, "", nullptr, PostFormat::Plain,
         "Ходы бойца №1:\n30 | 30(4) | 24(6) | 24;\n\nХоды бойца №2:\n20 | 12(2) | -8(5) | убит: поражение;"},
        {"plain, the message and the link", &kLong, kLink, nullptr, PostFormat::Plain,
         "Ходы бойца №1:\n9 | 9(1) | боец покидает арену непобеждённым.\n\n"
         "Ходы бойца №2:\n9 | 9(1) | боец покидает арену непобеждённым.\n\n" +
             std::string(texts::kLongDuel) + "\n\n" + kLink},
        {"BBCode, no message, the link", &kWon, kLink, nullptr, PostFormat::BBCode,
         "[b]Ходы бойца №1:[/b]\n[code]30 | 30(4) | 24(6) | 24;[/code]\n\n"
         "[b]Ходы бойца №2:[/b]\n[code]20 | 12(2) | -8(5) | убит: поражение;[/code]\n\n[url]" + kLink + "[/url]"},
        {"BBCode, the message, no link", &kLong, "", nullptr, PostFormat::BBCode,
         "[b]Ходы бойца №1:[/b]\n[code]9 | 9(1) | боец покидает арену непобеждённым.[/code]\n\n"
         "[b]Ходы бойца №2:[/b]\n[code]9 | 9(1) | боец покидает арену непобеждённым.[/code]\n\n" +
             std::string(texts::kLongDuel)},
        {"BBCode after a fair duel with both players' commitments", &kWon, "", &kFairAll, PostFormat::BBCode,
         "[b]Ходы бойца №1:[/b]\n[code]30 | 30(4) | 24(6) | 24;[/code]\n\n"
         "[b]Ходы бойца №2:[/b]\n[code]20 | 12(2) | -8(5) | убит: поражение;[/code]\n\n"
         "[b]Ссылка проверки:[/b]\n[url]" + kFairAll.verificationLink + "[/url]\n"
         "[b]Обязательство судьи:[/b] " + c + "\n[b]Обязательство игрока бретёра №1:[/b] " + d +
             "\n[b]Обязательство игрока бретёра №2:[/b] " + e},
        {"plain after a fair duel with one player's commitment and the message", &kLong, "", &kFairOne,
         PostFormat::Plain,
         "Ходы бойца №1:\n9 | 9(1) | боец покидает арену непобеждённым.\n\n"
         "Ходы бойца №2:\n9 | 9(1) | боец покидает арену непобеждённым.\n\n" + std::string(texts::kLongDuel) +
             "\n\nСсылка проверки:\n" + kFairOne.verificationLink + "\nОбязательство судьи: " + c +
             "\nОбязательство игрока бретёра №2: " + e},
        {"fair parts without a verification link add nothing", &kWon, "", &kNoFair, PostFormat::BBCode,
         "[b]Ходы бойца №1:[/b]\n[code]30 | 30(4) | 24(6) | 24;[/code]\n\n"
         "[b]Ходы бойца №2:[/b]\n[code]20 | 12(2) | -8(5) | убит: поражение;[/code]"},
    };
    for (const PostCase& row : cases)
        EXPECT_EQ(WriteForumPost(*row.shown, row.link, row.fair, row.format), row.post) << row.what;
}

// One log entry as the duel button writes it.
std::string Entry(Weapon weapon, std::int32_t health, std::int32_t die, char attack, std::uint8_t parry) {
    MoveRecord move;
    move.number = 1;
    move.weapon = weapon;
    move.die1 = move.die2 = die;
    move.attack1 = move.attack2 = attack;
    move.parry1 = move.parry2 = parry;
    move.health1 = move.health2 = health;
    const std::string log = WriteMoveLogs(99, 99, {move}, DuelEnding::Undecided).log1;
    // "99 | <entry> | ..." : the entry between the first two bars.
    const std::size_t from = log.find(" | ") + 3;
    return log.substr(from, log.find(" |", from) - from);
}

std::string Trimmed(const char* piece) {
    std::string text = piece;
    return text.substr(text.find_first_not_of(' '));
}

TEST(HelpOnTheLogs, ItsExamplesAndEndPiecesAreWhatTheLogsWrite) {
    // 24(6): a shot, health 24, die 6.
    EXPECT_NE(std::string(texts::kHelpLogsShot).find(Entry(Weapon::Pistol, 24, 6, 0, 0)), std::string::npos);
    // 21(2=/X): attack 2, a die of 2 to 5, nothing parried; 17(6-/1): attack
    // 6, a die of 1, parried by strong side 1.
    const std::string strike = texts::kHelpLogsStrike;
    for (const std::string& entry :
         {Entry(Weapon::ColdWeapon, 21, 3, '2', 0), Entry(Weapon::ColdWeapon, 17, 1, '6', 1)}) {
        EXPECT_NE(strike.find(entry), std::string::npos) << entry;
    }
    EXPECT_EQ(Entry(Weapon::ColdWeapon, 21, 3, '2', 0), "21(2=/X)");
    // Each die mark is explained beside the die it stands for.
    for (const auto& [die, says] : {std::pair{1, "» — выпала 1"}, {2, "» — от 2 до 5"}, {5, "» — от 2 до 5"},
                                    {6, "» — 6"}}) {
        const std::string mark = std::string("«") + logs::DieMark(die) + says;
        EXPECT_NE(strike.find(mark), std::string::npos) << mark;
    }
    const std::string end = texts::kHelpLogsEnd;
    for (const char* piece : {texts::kLogLoserEnd, texts::kLogDrawEnd, texts::kLogUndecidedEnd})
        EXPECT_NE(end.find(Trimmed(piece)), std::string::npos) << piece;
}

}  // namespace
}  // namespace saberline
