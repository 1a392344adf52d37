#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "Calculator.h"
#include "Cli.h"
#include "CliRun.h"
#include "DuelLink.h"
#include "DuelRequest.h"
#include "Readings.h"
#include "DuelTestSupport.h"
#include "Texts.h"
#include "Version.h"

namespace {

using saberline::cli::RunCli;
using saberline::testing::ClockFor;
using Json = nlohmann::json;

// A field's most characters, from the tables the command line reads.
int MaxLength(std::string_view name) {
    if (const saberline::DuelField* field = saberline::FindDuelField(name)) return field->maxLength;
    for (const saberline::ForumTextField& field : saberline::kForumTextFields)
        if (field.name == name) return field.maxLength;
    ADD_FAILURE() << "no field " << name;
    return 0;
}
// A request with one field a character longer than it takes, and the start
// of the refusal that names it.
std::string TooLong(std::string_view name, const std::string& digit = "1") {
    std::string text;
    for (int i = 0; i <= MaxLength(name); ++i) text += digit;
    return Json{{std::string(name), text}}.dump();
}
std::string LongerThan(std::string_view name) {
    return "\"" + std::string(name) + "\" is longer than " + std::to_string(MaxLength(name));
}

void ExpectSuccess(const CliRun& run) {
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
}

// The two-move pistol duel of the move-log rules, written out to the byte.
TEST(CliDuel, PistolDuelOfTwoMovesGivesTheExactScreenTexts) {
    const std::string request = R"({"BP1":"30","OgnOr1":"12","HolOr1":"1","StrZ1":"3",
                                    "BP2":"20","OgnOr2":"9","HolOr2":"1","StrZ2":"4","TypeBattle":1})";
    const CliRun run = RunCommand({"duel", "--json", "--clock", ClockFor({{4, 2}, {6, 5}})}, request);
    ExpectSuccess(run);
    EXPECT_EQ(run.out,
              "{\"InfoBM1\":\"30 | 30(4) | 24(6) | 24;\","
              "\"InfoBM2\":\"20 | 12(2) | -8(5) | убит: поражение;\","
              "\"ErrorText\":\"\"}\n");
}

// The worked cold move, repeated until duellist 2 falls in move 3.
TEST(CliDuel, ColdMoveRepeatedUntilAFall) {
    const std::string request = R"({"BP1":"30","OgnOr1":"1","HolOr1":"10","StrZ1":"2",
        "StrSt11":"1","StrSt12":"2","StrSt13":"3","ShAtack1":"4",
        "BP2":"25","OgnOr2":"1","HolOr2":"8","StrZ2":"0",
        "StrSt21":"4","StrSt22":"5","StrSt23":"6","StrSt24":"1","ShAtack2":"5","TypeBattle":2})";
    const CliRun run = RunCommand({"duel", "--json", "--clock", ClockFor({{6, 3}})}, request);
    ExpectSuccess(run);
    const Json result = Json::parse(run.out);
    EXPECT_EQ(result["InfoBM1"], "30 | 24(4+/X) | 18(4+/X) | 12(4+/X) | 12;");
    EXPECT_EQ(result["InfoBM2"], "25 | 15(5=/4) | 5(5=/4) | -5(5=/4) | убит: поражение;");
    EXPECT_EQ(result["ErrorText"], "");
}

TEST(CliDuel, MixedDuelFirstFiveMoves) {
    const std::string request = R"({"BP1":"300","OgnOr1":"5","HolOr1":"10","StrZ1":"2",
        "StrSt11":"1","StrSt12":"2","StrSt13":"3","ShAtack1":"123456",
        "BP2":"300","OgnOr2":"5","HolOr2":"8","StrZ2":"0",
        "StrSt21":"4","StrSt22":"5","StrSt23":"6","StrSt24":"1","ShAtack2":"654321","TypeBattle":3})";
    const CliRun run =
        RunCommand({"duel", "--json", "--clock", ClockFor({{2, 5}, {3, 4}, {6, 6}, {1, 2}, {4, 4}})}, request);
    ExpectSuccess(run);
    const Json result = Json::parse(run.out);
    const std::string log1 = result["InfoBM1"];
    const std::string log2 = result["InfoBM2"];
    EXPECT_EQ(log1.rfind("300 | 297(2) | 291(2=/X) | 277(3+/X) | 277(4-/3) | 274(4) | ", 0), 0u) << log1;
    EXPECT_EQ(log2.rfind("300 | 300(5) | 290(5=/X) | 270(4+/X) | 270(3=/4) | 265(4) | ", 0), 0u) << log2;
}

TEST(CliDuel, UndecidedDuelPutsTheLongDuelMessageIntoErrorText) {
    // Dice 1 and 1 in every move: no pistol shot ever hits.
    const std::string request = R"({"OgnOr1":"5","HolOr1":"1","StrZ1":"0","OgnOr2":"5","HolOr2":"1","StrZ2":"0"})";
    const CliRun run = RunCommand({"duel", "--json", "--clock", ClockFor({{1, 1}})}, request);
    ExpectSuccess(run);
    const Json result = Json::parse(run.out);
    const std::string undecided = saberline::texts::kLogUndecidedEnd;
    const std::string log1 = result["InfoBM1"];
    ASSERT_GE(log1.size(), undecided.size());
    EXPECT_EQ(log1.substr(log1.size() - undecided.size()), undecided);
    EXPECT_EQ(result["InfoBM1"], result["InfoBM2"]);
    EXPECT_EQ(result["ErrorText"], saberline::texts::kLongDuel);
}

// A request the referee refuses is no bad input: its message, exit 0.
TEST(CliDuel, RefusedRequestsPrintTheMessageAndSucceed) {
    struct Case {
        const char* request;
        const char* message;
    };
    const Case cases[] = {
        {"{}", saberline::texts::kInputError},  // the screen right after start-up
        {R"({"BP1":"абвг","OgnOr1":"1","HolOr1":"1","StrZ1":"0","OgnOr2":"1","HolOr2":"1","StrZ2":"0"})",
         saberline::texts::kInputError},  // four Cyrillic letters fit the field
        {R"({"OgnOr1":"1","HolOr1":"1","StrZ1":"0","OgnOr2":"1","HolOr2":"1","StrZ2":"0",
             "StrSt11":"1","StrSt12":"2","StrSt13":"3","StrSt21":"1","StrSt22":"2","StrSt23":"3",
             "TypeBattle":2})",
         saberline::texts::kSchemeEmpty1},
        {R"({"OgnOr1":"1","HolOr1":"1","StrZ1":"1","OgnOr2":"1","HolOr2":"1","StrZ2":"0",
             "StrSt11":"1","StrSt12":"2","StrSt13":"3","StrSt14":"4","StrSt21":"1","StrSt22":"2","StrSt23":"3",
             "TypeBattle":3})",
         saberline::texts::kCostumeError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        const CliRun run = RunCommand({"duel", "--json"}, c.request);
        ExpectSuccess(run);
        const Json result = Json::parse(run.out);
        EXPECT_EQ(result, (Json{{"InfoBM1", ""}, {"InfoBM2", ""}, {"ErrorText", c.message}}));
    }
}

TEST(CliDuel, TextOutputHasThreeLabelledLines) {
    const CliRun run = RunCommand({"duel"}, "{}");
    ExpectSuccess(run);
    EXPECT_EQ(run.out, std::string("InfoBM1: \nInfoBM2: \nErrorText: ") + saberline::texts::kInputError + "\n");
}

TEST(CliDuel, SchemeOfExactlyTheFieldLengthIsAccepted) {
    const std::string scheme(100, '3');
    const std::string request = R"({"OgnOr1":"1","HolOr1":"15","StrZ1":"0","OgnOr2":"1","HolOr2":"15","StrZ2":"0",
        "StrSt11":"1","StrSt12":"2","StrSt13":"4","StrSt21":"1","StrSt22":"2","StrSt23":"4",
        "ShAtack1":")" + scheme + R"(","ShAtack2":")" + scheme + R"(","TypeBattle":2})";
    // Every attack 3 goes unparried; dice 6 and 6 deal 2 x 15 to both in move 1.
    const CliRun run = RunCommand({"duel", "--json", "--clock", ClockFor({{6, 6}})}, request);
    ExpectSuccess(run);
    const Json result = Json::parse(run.out);
    EXPECT_EQ(result["InfoBM1"], "30 | 0(3+/X) | убит: ничья;");
    EXPECT_EQ(result["InfoBM2"], "30 | 0(3+/X) | убит: ничья;");
}

// The forum post in BBCode, as the page's copy button writes it; the duel's
// link, with the page's address, replays the same duel.
TEST(CliDuel, BBCodePostHoldsTheLogsTheMessageAndALinkThatReplaysTheDuel) {
    const std::string request = R"({"BP1":"30","OgnOr1":"12","HolOr1":"1","StrZ1":"3",
                                    "BP2":"20","OgnOr2":"9","HolOr2":"1","StrZ2":"4","TypeBattle":1})";
    const std::string clock = ClockFor({{4, 2}, {6, 5}});
    const std::string logs =
        "[b]Ходы бойца №1:[/b]\n[code]30 | 30(4) | 24(6) | 24;[/code]\n\n"
        "[b]Ходы бойца №2:[/b]\n[code]20 | 12(2) | -8(5) | убит: поражение;[/code]";
    const CliRun bare = RunCommand({"duel", "--bbcode", "--clock", clock}, request);
    ExpectSuccess(bare);
    EXPECT_EQ(bare.out, logs + "\n");

    const std::string address = "https://forum.example/files/saberline.html";
    const CliRun linked = RunCommand({"duel", "--bbcode", "--clock", clock, "--address", address}, request);
    ExpectSuccess(linked);
    const std::string start = logs + "\n\n[url]" + address + "#";
    ASSERT_EQ(linked.out.substr(0, start.size()), start);
    ASSERT_EQ(linked.out.substr(linked.out.size() - 7), "[/url]\n");
    const std::string fragment = linked.out.substr(start.size(), linked.out.size() - 7 - start.size());
    const std::optional<saberline::DuelLink> read = saberline::ReadDuelLink(fragment);
    ASSERT_TRUE(read.has_value()) << fragment;
    EXPECT_EQ(saberline::WriteClockList(read->readings), clock);
    EXPECT_EQ(read->request.duellists[0].firearm, "12");

    // The real clock: a link whose readings fight the same duel again.
    const CliRun real = RunCommand({"duel", "--bbcode", "--address", address}, request);
    ExpectSuccess(real);
    const std::size_t at = real.out.find("[url]" + address + "#");
    ASSERT_NE(at, std::string::npos) << real.out;
    const std::size_t from = at + 6 + address.size();
    const std::optional<saberline::DuelLink> again =
        saberline::ReadDuelLink(real.out.substr(from, real.out.find("[/url]") - from));
    ASSERT_TRUE(again.has_value());
    const CliRun replay =
        RunCommand({"duel", "--bbcode", "--clock", saberline::WriteClockList(again->readings)}, request);
    EXPECT_EQ(replay.out, real.out.substr(0, at - 2) + "\n");

    // A refusal: its message, and no link, for no die was thrown.
    const CliRun refused = RunCommand({"duel", "--bbcode", "--address", address}, "{}");
    ExpectSuccess(refused);
    EXPECT_EQ(refused.out, std::string("[b]Ходы бойца №1:[/b]\n[code][/code]\n\n[b]Ходы бойца №2:[/b]\n[code][/code]\n\n") +
                              saberline::texts::kInputError + "\n");
}

TEST(CliDuel, BBCodeOptionsThatDoNotGoTogetherAreBadInput) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"duel", "--bbcode", "--json"}, "--json excludes --bbcode"},
        {{"duel", "--address", "https://forum.example/s.html"}, "--address goes with --bbcode"},
        {{"duel", "--bbcode", "--address", "ftp://forum.example/s.html"}, "--address must be"},
        {{"duel", "--bbcode", "--address", "https://forum.example/s.html#x"}, "--address must be"},
        {{"duel", "--bbcode", "--address", "https://"}, "--address must be"},
        {{"duel", "--bbcode", "--address", "https://forum.example/a b.html"}, "--address must be"},
    };
    for (const auto& [args, complaint] : cases) {
        const CliRun run = RunCommand(args, "{}");
        EXPECT_EQ(run.status, 2) << complaint;
        EXPECT_EQ(run.out, "") << complaint;
        EXPECT_NE(run.err.find(complaint), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

// Bad input and usage errors: one line on standard error, nothing on
// standard output, exit 2.
TEST(CliBadInput, IsRefusedWithOneLineAndStatusTwo) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string complaint;  // a piece of the line on standard error
    };
    const std::string longScheme(101, '1');
    const Case cases[] = {
        {{"duel"}, "", "not valid JSON"},
        {{"duel"}, "{", "not valid JSON"},
        {{"duel"}, R"({"BP1":"1",})", "not valid JSON"},
        {{"duel"}, "{} {}", "not valid JSON"},
        // After the value only blanks, and a zero byte is none.
        {{"duel", "--json"}, std::string("{\"BP1\":\"30\"}\0NOT JSON {{", 24), "not valid JSON (error at byte 13)"},
        {{"duel"}, std::string("{}\0", 3), "not valid JSON (error at byte 3)"},
        {{"calc"}, std::string("{} \0 ", 5), "not valid JSON (error at byte 4)"},
        {{"fair", "verify"}, std::string("{}\0{}", 5), "not valid JSON (error at byte 3)"},
        {{"duel"}, "{\"BP1\":\"\xC3\x28\"}", "not valid JSON"},  // broken UTF-8
        {{"duel"}, R"({"BP1":1E400})", "number too large"},
        {{"duel"}, "{\"S\":  \n111111E110000", "number too large"},
        {{"calc"}, R"({"ChM11":-1e999})", "number too large"},
        {{"duel"}, "[]", "must be a JSON object"},
        {{"duel"}, "\"BP1\"", "must be a JSON object"},
        {{"duel"}, "30", "must be a JSON object"},
        {{"duel"}, R"({"BP3":"1"})", "unknown key \"BP3\""},
        {{"duel"}, R"({"bp1":"1"})", "unknown key \"bp1\""},
        {{"duel"}, R"({"SumPostsBM1":"1"})", "unknown key"},
        {{"duel"}, R"({"BP1":30})", "\"BP1\" must be a string"},
        {{"duel"}, R"({"BP1":null})", "\"BP1\" must be a string"},
        {{"duel"}, R"({"ShAtack1":["1"]})", "\"ShAtack1\" must be a string"},
        {{"duel"}, TooLong("BP1"), LongerThan("BP1") + " characters"},
        {{"duel"}, TooLong("StrZ2", "ж"), LongerThan("StrZ2")},
        {{"duel"}, R"({"StrSt11":"12"})", "\"StrSt11\" is longer than 1 character"},
        {{"duel"}, R"({"StrSt24":"ж1"})", "\"StrSt24\" is longer than 1 character"},
        {{"duel"}, R"({"ShAtack2":")" + longScheme + "\"}", "\"ShAtack2\" is longer than 100"},
        {{"duel"}, R"({"BP1":"1\u0000"})", "zero character"},
        {{"duel"}, R"({"BP1":"1","BP1":"2"})", "\"BP1\" appears more than once"},
        {{"duel"}, R"({"TypeBattle":0})", "TypeBattle"},
        {{"duel"}, R"({"TypeBattle":4})", "TypeBattle"},
        {{"duel"}, R"({"TypeBattle":-1})", "TypeBattle"},
        {{"duel"}, R"({"TypeBattle":1.5})", "TypeBattle"},
        {{"duel"}, R"({"TypeBattle":1.0})", "TypeBattle"},
        {{"duel"}, R"({"TypeBattle":true})", "TypeBattle"},
        {{"duel"}, R"({"TypeBattle":"2"})", "TypeBattle"},
        {{"duel"}, R"({"TypeBattle":18446744073709551617})", "TypeBattle"},
        {{"duel", "--clock", ""}, "{}", "--clock"},
        {{"duel", "--clock", "1,"}, "{}", "--clock"},
        {{"duel", "--clock", ",1"}, "{}", "--clock"},
        {{"duel", "--clock", "1,,2"}, "{}", "--clock"},
        {{"duel", "--clock", "-1"}, "{}", "--clock"},
        {{"duel", "--clock", "+1"}, "{}", "--clock"},
        {{"duel", "--clock", " 1"}, "{}", "--clock"},
        {{"duel", "--clock", "1 "}, "{}", "--clock"},
        {{"duel", "--clock", "0x10"}, "{}", "--clock"},
        {{"duel", "--clock", "18446744073709551616"}, "{}", "--clock"},
        {{"scheme", "--clock", "99999999999999999999"}, "", "--clock"},
        {{"scheme", "--clock", "1.5"}, "", "--clock"},
        {{"calc"}, TooLong("SumPostsBM1"), LongerThan("SumPostsBM1")},
        {{"calc"}, TooLong("SumRBM2"), LongerThan("SumRBM2")},
        {{"calc"}, R"({"SumRBM1":5})", "\"SumRBM1\" must be a string"},
        {{"calc"}, R"({"ChM11":1})", "\"ChM11\" must be true or false"},
        {{"calc"}, R"({"ChM25":"true"})", "\"ChM25\" must be true or false"},
        {{"calc"}, R"({"ChM10":true})", "unknown key \"ChM10\""},
        {{"calc"}, R"({"ChM16":true})", "unknown key"},
        {{"calc"}, R"({"ChM31":true})", "unknown key"},
        {{"calc"}, R"({"BP1":"30"})", "unknown key"},
        {{"calc"}, "[true]", "must be a JSON object"},
        {{"odds"}, R"({"BP1":"1","BP1":"1"})", "more than once"},
        {{"odds"}, R"({"TypeBattle":2.5})", "TypeBattle"},
        {{"odds"}, R"({"ShAtack1":")" + longScheme + "\"}", "longer than 100"},
        {{"odds", "--clock", "1"}, "{}", "--clock"},
        {{}, "", "required"},
        {{"fight"}, "{}", "unknown command \"fight\""},
        {{"duel", "--bogus"}, "{}", "--bogus"},
        {{"duel", "extra"}, "{}", "extra"},
        {{"scheme", "--json"}, "", "--json"},
        {{"calc", "--clock", "1"}, "{}", "--clock"},
        {{"duel", "--clock"}, "{}", "--clock"},
    };
    for (const Case& c : cases) {
        std::string trace;
        for (const std::string& arg : c.args) trace += arg + ' ';
        SCOPED_TRACE(trace + "<< " + c.input.substr(0, 60));
        const CliRun run = RunCommand(c.args, c.input);
        EXPECT_EQ(run.status, saberline::cli::kExitBadInput);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.complaint), std::string::npos) << run.err;
        ASSERT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "not one line: " << run.err;
    }
}

// Standard error is one line whatever the command line holds: every
// argument it names is quoted, and nothing from outside reaches the
// terminal as a control character (a line break, an escape sequence, an
// 8-bit control, a byte that is not UTF-8).
TEST(CliBadInput, ArgumentsAreQuotedInTheOneLine) {
    struct Case {
        std::vector<std::string> args;
        std::string named;  // the argument as the line must quote it
    };
    const Case cases[] = {
        {{"duel", "a\nb"}, R"("a\nb")"},
        {{"duel", "\x1b]0;x\a"}, R"("\u001b]0;x\u0007")"},
        {{"duel", "--json", "\x1b[2J\r"}, R"("\u001b[2J\r")"},
        {{"odds", "--bogus=\x1b"}, R"("--bogus=\u001b")"},
        {{"scheme", "\xc2\x9b" "1"}, R"("\u009b1")"},
        {{"calc", "\xff\xfe"}, R"("\ufffd\ufffd")"},
        {{"\x1b[2J"}, R"("\u001b[2J")"},
        {{"fair", "\t\"\\"}, R"("fair \t\"\\")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        const CliRun run = RunCommand(c.args, "{}");
        EXPECT_EQ(run.status, saberline::cli::kExitBadInput);
        EXPECT_EQ(run.out, "");
        ASSERT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "not one line: " << run.err;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_TRUE(saberline::CountUtf8Characters(run.err)) << run.err;
        for (std::size_t i = 0; i + 1 < run.err.size(); ++i) {
            const auto byte = static_cast<unsigned char>(run.err[i]);
            EXPECT_TRUE(byte >= 0x20 && byte != 0x7F) << "control byte at " << i << ": " << run.err;
            EXPECT_FALSE(byte == 0xC2 && static_cast<unsigned char>(run.err[i + 1]) < 0xA0) << run.err;
        }
    }
}

// Standard input that cannot be read is the program's failure (status 3),
// or bad input when what was given is plainly no file (a folder): never a
// complaint about the JSON.
TEST(CliBadInput, AFailingStandardInputIsAReadFailure) {
    // Fails as a file stream fails: with the system's reason.
    struct FailingInput : std::streambuf {
        std::errc reason;
        explicit FailingInput(std::errc r) : reason(r) {}
        int_type underflow() override {
            throw std::ios_base::failure("read", std::make_error_code(reason));
        }
    };
    struct Case {
        std::vector<std::string> args;
        std::errc reason;
        int status;
        std::string complaint;
    };
    const Case cases[] = {
        {{"duel", "--json"}, std::errc::bad_file_descriptor, saberline::cli::kExitFailure,
         "standard input could not be read (Bad file descriptor)"},
        {{"calc"}, std::errc::io_error, saberline::cli::kExitFailure, "standard input could not be read"},
        {{"odds"}, std::errc::is_a_directory, saberline::cli::kExitBadInput, "standard input is a folder"},
        {{"fair", "verify"}, std::errc::is_a_directory, saberline::cli::kExitBadInput, "standard input is a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.complaint);
        FailingInput failing(c.reason);
        std::istream in(&failing);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(saberline::cli::RunCli(c.args, in, out, err), c.status);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str().rfind("saberline-cli: " + c.complaint, 0), 0u) << err.str();
        EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
    }
    // A command that reads nothing does not care.
    FailingInput failing(std::errc::bad_file_descriptor);
    std::istream in(&failing);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(saberline::cli::RunCli({"scheme", "--clock", "1"}, in, out, err), saberline::cli::kExitOk);
}

TEST(CliBadInput, InputIsLimitedToOneMebibyte) {
    const std::size_t limit = saberline::cli::kMaxInputBytes;
    std::string atLimit = "{}";
    atLimit.resize(limit, ' ');  // trailing blanks are valid JSON
    const CliRun fits = RunCommand({"duel", "--json"}, atLimit);
    ExpectSuccess(fits);

    const CliRun over = RunCommand({"duel", "--json"}, atLimit + " ");
    EXPECT_EQ(over.status, saberline::cli::kExitBadInput);
    EXPECT_EQ(over.out, "");
    EXPECT_NE(over.err.find("1 MiB"), std::string::npos) << over.err;
}

// Nesting 300,000 deep fits into 1 MiB; reading and dropping it must not
// exhaust the stack.
TEST(CliBadInput, DeepNestingIsRefusedWithoutCrashing) {
    const std::size_t depth = 300'000;
    const std::string nested = R"({"SumRBM1":"1","x":)" + std::string(depth, '[') + std::string(depth, ']') + "}";
    const CliRun run = RunCommand({"calc"}, nested);
    EXPECT_EQ(run.status, saberline::cli::kExitBadInput);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("unknown key \"x\""), std::string::npos) << run.err;
}

TEST(CliScheme, ChosenClocksGiveTheKnownSchemes) {
    const CliRun ones = RunCommand({"scheme", "--clock", "0"});
    ExpectSuccess(ones);
    EXPECT_EQ(ones.out, std::string(100, '1') + "\n");

    std::string counting;
    for (int reading = 0; reading < 100; ++reading) {
        if (reading > 0) counting.push_back(',');
        counting.append(std::to_string(reading));
    }
    const CliRun runs = RunCommand({"scheme", "--clock", counting});
    ExpectSuccess(runs);
    const std::pair<int, char> expected[] = {
        {6, '1'}, {5, '2'}, {5, '3'}, {6, '4'}, {5, '5'}, {5, '6'}, {6, '1'}, {5, '2'}, {5, '3'}, {6, '4'},
        {5, '5'}, {5, '6'}, {6, '1'}, {5, '2'}, {5, '3'}, {5, '4'}, {6, '5'}, {5, '6'}, {4, '1'},
    };
    std::string scheme;
    for (const auto& [count, digit] : expected) scheme.append(static_cast<std::size_t>(count), digit);
    EXPECT_EQ(runs.out, scheme + "\n");

    // Only the low 32 bits of a reading count.
    EXPECT_EQ(RunCommand({"scheme", "--clock", "4294967297"}).out, RunCommand({"scheme", "--clock", "1"}).out);
}

TEST(CliScheme, RealClockGivesOneHundredDigits) {
    const CliRun run = RunCommand({"scheme"});
    ExpectSuccess(run);
    ASSERT_EQ(run.out.size(), 101u);
    EXPECT_EQ(run.out.back(), '\n');
    EXPECT_EQ(run.out.find_first_not_of("123456"), 100u);
}

TEST(CliCalc, ForumParametersGiveTheCombatValues) {
    struct Case {
        const char* request;
        Json expected;
    };
    const Case cases[] = {
        {R"({"SumPostsBM1":"1","SumRBM1":"1","SumPostsBM2":"100","SumRBM2":"5"})",
         {{"FOgnOr1", "8"}, {"FHolOr1", "4"}, {"FStrZ1", "0"}, {"FOgnOr2", "9"}, {"FHolOr2", "6"}, {"FStrZ2", "1"}}},
        {R"({"SumPostsBM1":"5000","SumRBM1":"100","SumPostsBM2":"5000","SumRBM2":"100","ChM22":true,"ChM25":true})",
         {{"FOgnOr1", "16"}, {"FHolOr1", "12"}, {"FStrZ1", "7"}, {"FOgnOr2", "9"}, {"FHolOr2", "7"}, {"FStrZ2", "4"}}},
        {R"({"SumPostsBM1":"2000","SumRBM1":"75","ChM13":true,"ChM14":false,"SumPostsBM2":"$64","SumRBM2":"2856"})",
         {{"FOgnOr1", "12"}, {"FHolOr1", "8"}, {"FStrZ1", "4"}, {"FOgnOr2", "16"}, {"FHolOr2", "6"}, {"FStrZ2", "0"}}},
        {R"({"SumPostsBM1":"99999","SumRBM1":"9999","SumPostsBM2":"1","SumRBM2":"1",
             "ChM21":true,"ChM22":true,"ChM23":true,"ChM24":true,"ChM25":true})",
         {{"FOgnOr1", "16"}, {"FHolOr1", "12"}, {"FStrZ1", "0"}, {"FOgnOr2", "0"}, {"FHolOr2", "0"}, {"FStrZ2", "0"}}},
        // Refusals: the start-up "0", a reputation left empty, a negative one.
        {"{}", {{"Message", std::string(saberline::texts::kForumInputError)}}},
        {R"({"SumPostsBM1":"1","SumRBM1":"1","SumPostsBM2":"1","SumRBM2":""})",
         {{"Message", std::string(saberline::texts::kForumInputError)}}},
        {R"({"SumPostsBM1":"1","SumRBM1":"-5","SumPostsBM2":"1","SumRBM2":"1"})",
         {{"Message", std::string(saberline::texts::kForumInputError)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        const CliRun run = RunCommand({"calc", "--json"}, c.request);
        ExpectSuccess(run);
        EXPECT_EQ(Json::parse(run.out), c.expected);
    }
}

TEST(CliCalc, OutputKeepsTheFieldOrder) {
    const std::string request = R"({"SumPostsBM1":"1","SumRBM1":"1","SumPostsBM2":"1","SumRBM2":"1"})";
    EXPECT_EQ(RunCommand({"calc", "--json"}, request).out,
              "{\"FOgnOr1\":\"8\",\"FHolOr1\":\"4\",\"FStrZ1\":\"0\","
              "\"FOgnOr2\":\"8\",\"FHolOr2\":\"4\",\"FStrZ2\":\"0\"}\n");
    EXPECT_EQ(RunCommand({"calc"}, request).out,
              "FOgnOr1: 8\nFHolOr1: 4\nFStrZ1: 0\nFOgnOr2: 8\nFHolOr2: 4\nFStrZ2: 0\n");
    EXPECT_EQ(RunCommand({"calc"}, "{}").out, std::string("Message: ") + saberline::texts::kForumInputError + "\n");
}

TEST(CliOdds, HandComputedDuels) {
    // Health 1 each, every 4, 5 or 6 kills: each move ends the duel with
    // chance 3/4, a quarter each way.
    const CliRun oneShot = RunCommand(
        {"odds", "--json"}, R"({"BP1":"1","OgnOr1":"1","HolOr1":"1","StrZ1":"0",
                               "BP2":"1","OgnOr2":"1","HolOr2":"1","StrZ2":"0"})");
    ExpectSuccess(oneShot);
    const Json shot = Json::parse(oneShot.out);
    EXPECT_EQ(shot["ErrorText"], "");
    EXPECT_NEAR(shot["duellist1"].get<double>(), 1.0 / 3.0, 1e-12);
    EXPECT_NEAR(shot["duellist2"].get<double>(), 1.0 / 3.0, 1e-12);
    EXPECT_NEAR(shot["both_fell"].get<double>(), 1.0 / 3.0, 1e-12);
    EXPECT_NEAR(shot["undecided"].get<double>(), 0.0, 1e-12);
    EXPECT_NEAR(shot["expected_moves"].get<double>(), 4.0 / 3.0, 1e-12);

    // Armour far above every hit: nobody is ever harmed.
    const std::string unharmed = R"({"OgnOr1":"1","HolOr1":"1","StrZ1":"9999","OgnOr2":"1","HolOr2":"1","StrZ2":"9999",
        "StrSt11":"1","StrSt12":"2","StrSt13":"3","StrSt21":"1","StrSt22":"2","StrSt23":"3",
        "ShAtack1":"4","ShAtack2":"5","TypeBattle":2})";
    const CliRun undecided = RunCommand({"odds", "--json"}, unharmed);
    ExpectSuccess(undecided);
    const Json odds = Json::parse(undecided.out);
    EXPECT_EQ(odds["undecided"].get<double>(), 1.0);
    EXPECT_EQ(odds["duellist1"].get<double>(), 0.0);
    EXPECT_NEAR(odds["expected_moves"].get<double>(), 100.0, 1e-9);

    const CliRun text = RunCommand({"odds"}, unharmed);
    ExpectSuccess(text);
    EXPECT_EQ(text.out,
              "Duellist 1 wins: 0.0 %\nDuellist 2 wins: 0.0 %\nBoth fall: 0.0 %\n"
              "Undecided after 100 moves: 100.0 %\nExpected number of moves: 100.0\n");
}

TEST(CliOdds, ByMoveGivesHowTheDuelStandsByTheEndOfEachMove) {
    // Health 1 each, every 4, 5 or 6 kills: the duel goes on past move n
    // with chance 4^-n, and each ending takes a third of the rest.
    const CliRun run = RunCommand({"odds", "--json"}, R"({"BP1":"1","OgnOr1":"1","HolOr1":"1","StrZ1":"0",
                                                         "BP2":"1","OgnOr2":"1","HolOr2":"1","StrZ2":"0"})");
    ExpectSuccess(run);
    const Json odds = Json::parse(run.out);
    const Json& byMove = odds["by_move"];
    ASSERT_EQ(byMove.size(), 100u);
    double going = 1;
    for (std::size_t n = 0; n < byMove.size(); ++n) {
        going /= 4;
        const Json& entry = byMove[n];
        EXPECT_EQ(entry.size(), 4u);
        EXPECT_NEAR(entry["going"].get<double>(), going, 1e-15) << n + 1;
        for (const char* ending : {"duellist1", "duellist2", "both_fell"})
            EXPECT_NEAR(entry[ending].get<double>(), (1 - going) / 3, 1e-12) << ending << " by move " << n + 1;
    }
    // Move 100's entry is the figures, to the last bit as printed.
    for (const char* key : {"duellist1", "duellist2", "both_fell"}) EXPECT_EQ(byMove[99][key], odds[key]) << key;
    EXPECT_EQ(byMove[99]["going"], odds["undecided"]);
}

TEST(CliOdds, RefusedRequestGivesOnlyTheMessage) {
    const CliRun json = RunCommand({"odds", "--json"}, "{}");
    ExpectSuccess(json);
    EXPECT_EQ(Json::parse(json.out), (Json{{"ErrorText", std::string(saberline::texts::kInputError)}}));
    const CliRun text = RunCommand({"odds"}, "{}");
    ExpectSuccess(text);
    EXPECT_EQ(text.out, std::string("ErrorText: ") + saberline::texts::kInputError + "\n");
}

// The command lines read without the parser run exactly as RunCli runs them;
// anything else is left to RunCli.
TEST(CliUsage, PlainCommandLinesRunAsTheParserRunsThem) {
    const std::string request = R"({"BP1":"40","OgnOr1":"12","HolOr1":"1","StrZ1":"3",
                                    "BP2":"20","OgnOr2":"9","HolOr2":"1","StrZ2":"4","TypeBattle":1})";
    const std::vector<std::vector<std::string>> plain = {
        {"duel"}, {"duel", "--json"}, {"duel", "--clock", "1,2,3"}, {"duel", "--clock=7", "--json"},
        {"duel", "--json", "--clock", "18446744073709551616"}, {"duel", "--clock", " 1"}, {"duel", "--clock", "x=y"},
        {"scheme", "--clock", "5"}, {"scheme", "--clock=0,1"}, {"calc"}, {"calc", "--json"}, {"odds"}, {"odds", "--json"},
    };
    for (const auto& args : plain) {
        std::string trace;
        for (const std::string& arg : args) trace += arg + ' ';
        SCOPED_TRACE(trace);
        const auto line = saberline::cli::ReadPlainCommandLine(args);
        ASSERT_TRUE(line);
        std::istringstream in(request);
        std::ostringstream out, err;
        const int status = saberline::cli::RunCommand(line->command, line->options, in, out, err);
        const CliRun parsed = RunCommand(args, request);
        EXPECT_EQ(status, parsed.status);
        EXPECT_EQ(err.str(), parsed.err);
        // The real clock's dice differ from run to run; the form of the output not.
        const bool realClock = !line->options.clock && (line->command == saberline::cli::Command::Duel ||
                                                        line->command == saberline::cli::Command::Scheme);
        const std::string printed = out.str();
        if (realClock)
            EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'),
                      std::count(parsed.out.begin(), parsed.out.end(), '\n'));
        else
            EXPECT_EQ(printed, parsed.out);
    }
    const std::vector<std::vector<std::string>> others = {
        {}, {"fair", "commit"}, {"duel", "--help"}, {"duel", "-h"}, {"--version"}, {"duel", "--json", "--json"},
        {"duel", "--clock", "1", "--clock", "2"}, {"duel", "--clock"}, {"duel", "--clock="}, {"duel", "--clock", "-1"},
        {"duel", "--clock", "--json"}, {"duel", "--clock", "odds"}, {"duel", "--clock", "fair"}, {"calc", "--clock", "1"},
        {"scheme", "--json"}, {"duel", "extra"}, {"duel", ""}, {"duel", "--json=1"}, {"Duel"}, {"duel", "--"},
    };
    for (const auto& args : others) EXPECT_FALSE(saberline::cli::ReadPlainCommandLine(args)) << args.size();
}

TEST(CliUsage, HelpGoesToStandardOutput) {
    const CliRun run = RunCommand({"--help"});
    ExpectSuccess(run);
    for (const char* command : {"duel", "scheme", "calc", "odds"}) EXPECT_NE(run.out.find(command), std::string::npos);
    EXPECT_NE(run.out.find("Usage: saberline-cli "), std::string::npos);
    EXPECT_NE(run.out.find("--version"), std::string::npos);
}

TEST(CliUsage, VersionGivesNameVersionAndLicenceWithoutACommand) {
    const CliRun run = RunCommand({"--version"});
    ExpectSuccess(run);
    const std::string first = run.out.substr(0, run.out.find('\n'));
    EXPECT_EQ(first, "saberline-cli " + std::string(saberline::kVersion));
    EXPECT_NE(run.out.find("\nCopyright (C) "), std::string::npos);
    EXPECT_NE(run.out.find("\nLicense: MIT"), std::string::npos);
    EXPECT_EQ(run.out.back(), '\n');
    EXPECT_NE(run.out.substr(run.out.size() - 2), "\n\n");
}

}  // namespace
