#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <set>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "Cli.h"
#include "DuelRequest.h"
#include "CliProcess.h"
#include "CliRun.h"
#include "DiceStatistics.h"
#include "Fair.h"
#include "FairCrypto.h"
#include "Texts.h"

namespace {

using saberline::cli::RunCli;
using Json = nlohmann::json;

// BP1's most characters, from the table the command line reads.
std::size_t HealthLength() { return static_cast<std::size_t>(saberline::FindDuelField("BP1")->maxLength); }

namespace fair = saberline::fair;

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// Published vectors: FIPS 180-2 for SHA-256, RFC 4231 cases 1 and 2 for
// HMAC-SHA-256.
TEST(FairCrypto, KnownAnswers) {
    EXPECT_EQ(fair::ToHex(fair::Sha256(Bytes("abc"))),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(fair::ToHex(fair::Sha256(Bytes(""))),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(fair::ToHex(fair::HmacSha256(std::vector<std::uint8_t>(20, 0x0b), "Hi There")),
              "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
    EXPECT_EQ(fair::ToHex(fair::HmacSha256(Bytes("Jefe"), "what do ya want for nothing?")),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
}

void ExpectHex64(const std::string& hex) {
    EXPECT_EQ(hex.size(), 64u);
    EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos) << hex;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The canonical duel the rules fight for a request given as JSON.
fair::CanonicalDuel DuelOf(const std::string& json) {
    const Json object = Json::parse(json);
    saberline::DuelRequest request = saberline::DuelRequest::StartUp();
    for (const auto& item : object.items()) {
        if (item.key() == "TypeBattle") request.type = static_cast<saberline::DuelType>(item.value().get<int>());
        else FieldText(request, *saberline::FindDuelField(item.key())) = item.value().get<std::string>();
    }
    return std::get<fair::CanonicalDuel>(fair::Canonicalise(request));
}

// A mixed duel that cannot end before move 100: every one of the 100
// readings shows in the logs.
const std::string kLongDuel = R"({"BP1":"9999","OgnOr1":"3","HolOr1":"4","StrZ1":"1",
    "StrSt11":"1","StrSt12":"2","StrSt13":"3","StrSt14":"","ShAtack1":"123456",
    "BP2":"9998","OgnOr2":"2","HolOr2":"5","StrZ2":"0",
    "StrSt21":"4","StrSt22":"5","StrSt23":"6","StrSt24":"1","ShAtack2":"654321","TypeBattle":3})";

const std::string kSecret = "5c955235ed9cf2e4dedac1caaecb4a58b678a6026fa31b6e7505e48a990aacba";
const std::string kSalt1 = "11aa" + std::string(60, '1');
const std::string kSalt2 = "22bb" + std::string(60, '2');

// The referee commits to the secret and the request together.
TEST(FairCommit, PrintsAFreshSecretAndItsCommitmentToTheRequest) {
    std::set<std::string> secrets;
    for (int i = 0; i < 5; ++i) {
        const CliRun run = RunProgram({"fair", "commit"}, kLongDuel);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const Json result = Json::parse(run.out);
        const std::string secret = result.at("secret");
        const std::string commitment = result.at("commitment");
        EXPECT_EQ(run.out, "{\"secret\":\"" + secret + "\",\"commitment\":\"" + commitment + "\"}\n");
        ExpectHex64(secret);
        EXPECT_EQ(commitment, fair::ToHex(fair::RefereeCommitment(*fair::Hex32(secret), DuelOf(kLongDuel))));
        // Not the secret's hash alone: the request is bound too.
        EXPECT_NE(commitment, fair::ToHex(fair::Sha256(*fair::Hex32(secret))));
        secrets.insert(secret);
    }
    EXPECT_EQ(secrets.size(), 5u);
}

// A request the rules refuse has no commitment: a mended request is a new
// commitment, made after the mend.
TEST(FairCommit, ARefusedRequestIsNeverCommitted) {
    namespace texts = saberline::texts;
    const std::pair<std::string, std::string> refused[] = {
        {"{}", texts::kInputError},
        {R"({"BP1":"0"})", texts::kInputError},
        {R"({"TypeBattle":2,"BP1":"30","OgnOr1":"1","HolOr1":"8","StrZ1":"0","StrSt11":"1","StrSt12":"2",
            "StrSt13":"2","ShAtack1":"1","BP2":"30","OgnOr2":"1","HolOr2":"8","StrZ2":"0","StrSt21":"1",
            "StrSt22":"2","StrSt23":"3","ShAtack2":"1"})", texts::kDuplicateSides1},
        {R"({"TypeBattle":2,"BP1":"30","OgnOr1":"1","HolOr1":"8","StrZ1":"1","StrSt11":"1","StrSt12":"2",
            "StrSt13":"3","StrSt14":"4","ShAtack1":"1","BP2":"30","OgnOr2":"1","HolOr2":"8","StrZ2":"0",
            "StrSt21":"1","StrSt22":"2","StrSt23":"3","ShAtack2":""})", texts::kCostumeError},
    };
    for (const auto& [request, message] : refused) {
        SCOPED_TRACE(request);
        const CliRun run = RunProgram({"fair", "commit"}, request);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, std::string("saberline-cli: the rules refuse the request: ") + message +
                               " (a commitment binds the request: mend it, then commit)\n");
    }
}

TEST(FairCommit, APlayersWordIsDrawnUnlessChosen) {
    std::set<std::string> words;
    std::set<std::string> salts;
    for (int i = 0; i < 8; ++i) {
        const CliRun run = RunProgram({"fair", "commit", "--player"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const Json result = Json::parse(run.out);
        const std::string word = result.at("word");
        const std::string salt = result.at("salt");
        EXPECT_EQ(run.out, "{\"word\":\"" + word + "\",\"salt\":\"" + salt + "\",\"commitment\":\"" +
                               result.at("commitment").get<std::string>() + "\"}\n");
        EXPECT_EQ(fair::CheckWord(word), fair::WordProblem::None) << word;
        EXPECT_EQ(result.at("commitment"), fair::ToHex(fair::PlayerCommitment(*fair::Hex32(salt), word)));
        words.insert(word);
        salts.insert(salt);
    }
    EXPECT_EQ(words.size(), 8u);
    EXPECT_EQ(salts.size(), 8u);
    // Drawn from 64 bits: most words have 19 or 20 digits.
    EXPECT_GE(std::count_if(words.begin(), words.end(), [](const std::string& w) { return w.size() >= 18; }), 6);

    // A chosen word: committed as given, with one line of warning.
    for (const std::string word : {"0", "1523", "18446744073709551615"}) {
        for (const std::vector<std::string>& args : {std::vector<std::string>{"fair", "commit", "--word", word},
                                                     {"fair", "commit", "--player", "--word", word}}) {
            const CliRun run = RunProgram(args);
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.err, "saberline-cli: warning: a chosen word can be guessed, and whoever guesses it can "
                               "choose the ending; `fair commit --player` draws one\n");
            const Json result = Json::parse(run.out);
            EXPECT_EQ(result.at("word"), word);
            EXPECT_EQ(result.at("commitment"),
                      fair::ToHex(fair::PlayerCommitment(*fair::Hex32(result.at("salt").get<std::string>()), word)));
        }
    }
}

// Step 2: anyone checks the revealed secret against the commitment and the
// thread's request, spelled any way the rules read alike.
TEST(FairCheckSecret, OpensTheCommitmentOnlyWithItsSecretAndRequest) {
    const Json committed = Json::parse(RunProgram({"fair", "commit"}, kLongDuel).out);
    const std::string secret = committed.at("secret");
    const std::string commitment = committed.at("commitment");
    Json respelled = Json::parse(kLongDuel);
    respelled["OgnOr1"] = "+3";
    respelled["StrSt11"] = "3";
    respelled["StrSt13"] = "1";
    Json other = Json::parse(kLongDuel);
    other["BP2"] = "9997";
    std::string otherSecret = secret;
    otherSecret[0] = otherSecret[0] == '0' ? '1' : '0';
    struct Case {
        std::string what, secret, commitment, request;
        int status;
    };
    const Case cases[] = {
        {"as committed", secret, commitment, kLongDuel, 0},
        {"the commitment in capitals", secret, Upper(commitment), kLongDuel, 0},
        {"the request respelled", secret, commitment, respelled.dump(), 0},
        {"another request", secret, commitment, other.dump(), 1},
        {"another secret", otherSecret, commitment, kLongDuel, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = RunProgram({"fair", "check-secret", "--secret", c.secret, "--commitment", c.commitment},
                                      c.request);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.err, "");
        const Json result = Json::parse(run.out);
        EXPECT_EQ(result.at("verified"), c.status == 0);
        EXPECT_EQ(result.at("differs"), c.status == 0 ? Json::array() : Json({"commitment"}));
        EXPECT_EQ(result.at("request"), Json::parse(RunProgram({"fair", "check-secret", "--secret", secret,
                                                                "--commitment", commitment},
                                                               c.request)
                                                        .out)
                                            .at("request"));
    }
    const CliRun refused = RunProgram({"fair", "check-secret", "--secret", secret, "--commitment", commitment},
                                      R"({"BP1":"0"})");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("the rules refuse the request"), std::string::npos);
}


// The players' commitments to kSalt1, kSalt2 and their words.
std::string Committed(int player, const std::string& word) {
    return fair::ToHex(fair::PlayerCommitment(*fair::Hex32(player == 1 ? kSalt1 : kSalt2), word));
}

std::vector<std::string> DuelArgs(const std::string& word1, const std::string& word2, bool salts = false) {
    std::vector<std::string> args{"fair", "duel", "--secret", kSecret, "--word1", word1, "--word2", word2};
    if (salts)
        args.insert(args.end(), {"--salt1", kSalt1, "--commitment1", Committed(1, word1), "--salt2", kSalt2,
                                 "--commitment2", Committed(2, word2)});
    return args;
}

Json FairDuel(const std::string& request, const std::string& word1, const std::string& word2, bool salts = false) {
    const CliRun run = RunProgram(DuelArgs(word1, word2, salts), request);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return Json::parse(run.out);
}

std::vector<std::string> Keys(const std::string& json) {
    std::vector<std::string> keys;
    const nlohmann::ordered_json object = nlohmann::ordered_json::parse(json);
    for (const auto& item : object.items()) keys.push_back(item.key());
    return keys;
}

Json Posted(const Json& duel) {
    Json posted{{"verification", duel.at("verification")},
                {"commitment", duel.at("commitment")},
                {"InfoBM1", duel.at("InfoBM1")},
                {"InfoBM2", duel.at("InfoBM2")},
                {"ErrorText", duel.at("ErrorText")}};
    for (const char* key : {"commitment1", "commitment2"})
        if (duel.contains(key)) posted[key] = duel.at(key);
    return posted;
}

TEST(FairDuel, FightsWithTheReadingsOfTheSecretAndWords) {
    const CliRun raw = RunProgram(DuelArgs("1523", "1524"), kLongDuel);
    ASSERT_EQ(raw.status, 0) << raw.err;
    EXPECT_EQ(Keys(raw.out),
              (std::vector<std::string>{"InfoBM1", "InfoBM2", "ErrorText", "commitment", "verification"}));
    const Json result = Json::parse(raw.out);
    EXPECT_EQ(result.at("commitment"), fair::ToHex(fair::RefereeCommitment(*fair::Hex32(kSecret), DuelOf(kLongDuel))));
    EXPECT_EQ(result.at("ErrorText"), saberline::texts::kLongDuel);

    // The verification names exactly this secret, these words and the
    // request; the same duel with its readings as --clock gives the same logs.
    const std::string verification = result.at("verification");
    EXPECT_EQ(verification.substr(0, 33), "saberline-fair-v3&rules=1&secret=");
    const auto parsed = fair::ParseVerification(verification);
    ASSERT_TRUE(std::holds_alternative<fair::FairDuel>(parsed));
    const fair::FairDuel& duel = std::get<fair::FairDuel>(parsed);
    EXPECT_EQ(fair::ToHex(duel.secret), kSecret);
    EXPECT_EQ(duel.word1, "1523");
    EXPECT_EQ(duel.word2, "1524");
    EXPECT_FALSE(duel.salt1);
    std::string clock;
    for (const std::uint64_t reading : fair::NativeReadings(duel))
        clock += (clock.empty() ? "" : ",") + std::to_string(reading);
    const CliRun replay = RunProgram({"duel", "--json", "--clock", clock}, kLongDuel);
    ASSERT_EQ(replay.status, 0);
    const Json replayed = Json::parse(replay.out);
    EXPECT_EQ(replayed.at("InfoBM1"), result.at("InfoBM1"));
    EXPECT_EQ(replayed.at("InfoBM2"), result.at("InfoBM2"));

    // The same inputs give the same duel; another word, another duel; the
    // salts change the commitments printed, not the dice.
    EXPECT_EQ(FairDuel(kLongDuel, "1523", "1524"), result);
    EXPECT_NE(FairDuel(kLongDuel, "1523", "1525").at("InfoBM1"), result.at("InfoBM1"));
    const CliRun salted = RunProgram(DuelArgs("1523", "1524", true), kLongDuel);
    EXPECT_EQ(Keys(salted.out), (std::vector<std::string>{"InfoBM1", "InfoBM2", "ErrorText", "commitment", "commitment1",
                                                          "commitment2", "verification"}));
    const Json withSalts = Json::parse(salted.out);
    EXPECT_EQ(withSalts.at("InfoBM1"), result.at("InfoBM1"));
    EXPECT_EQ(withSalts.at("commitment1"), Committed(1, "1523"));
    EXPECT_EQ(withSalts.at("commitment2"), Committed(2, "1524"));
    EXPECT_NE(withSalts.at("verification").get<std::string>().find("&salt1=" + kSalt1 + "&salt2=" + kSalt2 + "&"),
              std::string::npos);
    // Each player's commitment on its own, and the referee's as posted.
    const CliRun one = RunProgram({"fair", "duel", "--secret", kSecret, "--word1", "1523", "--word2", "1524",
                                   "--salt2", kSalt2, "--commitment2", Committed(2, "1524"), "--commitment",
                                   result.at("commitment")},
                                  kLongDuel);
    EXPECT_EQ(Keys(one.out),
              (std::vector<std::string>{"InfoBM1", "InfoBM2", "ErrorText", "commitment", "commitment2",
                                        "verification"}));
}

// Whoever fights with the posted commitments fights only a duel that opens
// them: anything else names what does not open, and shows no duel.
TEST(FairDuel, WithThePostedCommitmentsFightsOnlyWhatOpensThem) {
    const std::string commitment = fair::ToHex(fair::RefereeCommitment(*fair::Hex32(kSecret), DuelOf(kLongDuel)));
    Json other = Json::parse(kLongDuel);
    other["HolOr1"] = "5";
    struct Case {
        std::string what;
        std::vector<std::string> args;
        std::string request;
        std::vector<std::string> differs;
    };
    auto args = [&](const std::string& referee, const std::string& word1, const std::string& posted1) {
        return std::vector<std::string>{"fair", "duel", "--secret", kSecret, "--word1", word1, "--word2", "1524",
                                        "--commitment", referee, "--salt1", kSalt1, "--commitment1", posted1,
                                        "--salt2", kSalt2, "--commitment2", Committed(2, "1524")};
    };
    const Case cases[] = {
        {"all open", args(commitment, "1523", Committed(1, "1523")), kLongDuel, {}},
        {"a request the referee did not commit to", args(commitment, "1523", Committed(1, "1523")), other.dump(),
         {"commitment"}},
        {"another word than committed", args(commitment, "1522", Committed(1, "1523")), kLongDuel, {"commitment1"}},
        {"the players' commitments swapped",
         {"fair", "duel", "--secret", kSecret, "--word1", "1523", "--word2", "1524", "--salt1", kSalt1,
          "--commitment1", Committed(2, "1524"), "--salt2", kSalt2, "--commitment2", Committed(1, "1523")},
         kLongDuel, {"commitment1", "commitment2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = RunProgram(c.args, c.request);
        EXPECT_EQ(run.status, c.differs.empty() ? 0 : 1) << run.err;
        const Json result = Json::parse(run.out);
        if (c.differs.empty()) {
            EXPECT_TRUE(result.contains("verification"));
            continue;
        }
        EXPECT_EQ(result.at("differs"), Json(c.differs));
        EXPECT_FALSE(result.contains("InfoBM1"));
        EXPECT_FALSE(result.contains("verification"));
    }
}

// Texts the rules fight alike give the same duel and the same verification.
TEST(FairDuel, RespelledRequestsGiveOneDuel) {
    const Json result = FairDuel(kLongDuel, "101", "102");
    Json respelled = Json::parse(kLongDuel);
    respelled["BP2"] = "$270";  // 9998 would not fit; $270 is 624, another duel
    EXPECT_NE(FairDuel(respelled.dump(), "101", "102").at("verification"), result.at("verification"));
    respelled = Json::parse(kLongDuel);
    respelled["OgnOr1"] = "+3";
    respelled["StrZ1"] = " 01";
    respelled["StrSt11"] = "3";
    respelled["StrSt13"] = "1";
    respelled["StrSt21"] = "1";
    respelled["StrSt24"] = "4";
    respelled["ShAtack2"] = "654321654321";
    EXPECT_EQ(FairDuel(respelled.dump(), "101", "102"), result);
}

TEST(FairDuel, ARefusedRequestTakesNoReadingsAndGivesNoVerification) {
    const CliRun run = RunProgram(DuelArgs("1", "2", true), R"({"BP1":"0"})");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string(R"({"InfoBM1":"","InfoBM2":"","ErrorText":")") + saberline::texts::kInputError +
                           "\"}\n");
}

struct VerifyRun {
    int status;
    Json result;
};

VerifyRun Verify(const Json& posted) {
    const CliRun run = RunProgram({"fair", "verify"}, posted.dump());
    EXPECT_EQ(run.err, "");
    return {run.status, run.out.empty() ? Json() : Json::parse(run.out)};
}

// Replaces the value of `key` in a verification text.
std::string WithItem(std::string text, const std::string& key, const std::string& value) {
    const std::string item = "&" + key + "=";
    const std::size_t at = text.find(item);
    if (at == std::string::npos) throw std::logic_error("no " + key);
    const std::size_t end = std::min(text.find('&', at + 1), text.size());
    return text.replace(at + item.size(), end - at - item.size(), value);
}

TEST(FairVerify, AgreesWithTheDuelAsPosted) {
    const Json posted = Posted(FairDuel(kLongDuel, "1523", "1524", true));
    const VerifyRun run = Verify(posted);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.result.at("verified"), true);
    EXPECT_EQ(run.result.at("differs"), Json::array());
    EXPECT_EQ(run.result.at("commitment"), posted.at("commitment"));
    EXPECT_EQ(run.result.at("commitment1"), posted.at("commitment1"));
    EXPECT_EQ(run.result.at("commitment2"), posted.at("commitment2"));
    EXPECT_EQ(run.result.at("word1"), "1523");
    EXPECT_EQ(run.result.at("request").at("BP2"), "9998");
    // The canonical request: sides ascending, the costume's fourth last.
    EXPECT_EQ(run.result.at("request").at("StrSt21"), "1");
    EXPECT_EQ(run.result.at("request").at("StrSt24"), "6");
    const Json& duellist2 = run.result.at("duel").at("duellist2");
    EXPECT_EQ(duellist2.at("parrying"), Json({1, 4, 5, 6}));
    EXPECT_EQ(duellist2.at("scheme").size(), 79u);
    EXPECT_EQ(run.result.at("replayed").at("InfoBM2"), posted.at("InfoBM2"));
    ASSERT_EQ(run.result.at("readings").size(), 100u);
    // An upper-case commitment is the same commitment.
    Json upper = posted;
    upper["commitment"] = Upper(upper.at("commitment"));
    EXPECT_EQ(Verify(upper).status, 0);
}

// Any one change, to what the verification reveals or to what was posted,
// fails and names what no longer agrees.
TEST(FairVerify, EveryTamperFailsAndNamesItsCause) {
    const Json posted = Posted(FairDuel(kLongDuel, "1523", "1524", true));
    const std::string verification = posted.at("verification");
    // A changed request may end the duel another way, so that the message
    // differs too.
    struct Case {
        std::string what;
        Json posted;
        std::vector<std::string> named;
        bool orMessageToo = false;
    };
    std::vector<Case> cases;
    auto tamperVerification = [&](const std::string& what, const std::string& text, std::vector<std::string> named) {
        Json changed = posted;
        changed["verification"] = text;
        cases.push_back({what, changed, std::move(named)});
    };
    auto tamperPosted = [&](const std::string& key, const Json& value, std::vector<std::string> named) {
        Json changed = posted;
        if (value.is_null()) changed.erase(key);
        else changed[key] = value;
        cases.push_back({key, changed, std::move(named)});
    };

    std::string otherSecret = kSecret;
    otherSecret[10] = otherSecret[10] == '0' ? '1' : '0';
    tamperVerification("secret", WithItem(verification, "secret", otherSecret), {"commitment", "InfoBM1", "InfoBM2"});
    // The request binds the referee's commitment: any change to it shows there.
    tamperVerification("word1", WithItem(verification, "word1", "1522"), {"commitment1", "InfoBM1", "InfoBM2"});
    tamperVerification("word2", WithItem(verification, "word2", "15240"), {"commitment2", "InfoBM1", "InfoBM2"});
    tamperVerification("words swapped", WithItem(WithItem(verification, "word1", "1524"), "word2", "1523"),
                       {"commitment1", "commitment2", "InfoBM1", "InfoBM2"});
    tamperVerification("salt1", WithItem(verification, "salt1", kSalt2), {"commitment1"});
    tamperVerification("salts swapped", WithItem(WithItem(verification, "salt1", kSalt2), "salt2", kSalt1),
                       {"commitment1", "commitment2"});
    std::string noSalt1 = verification;
    noSalt1.erase(noSalt1.find("&salt1="), 7 + 64);
    tamperVerification("salt1 left out", noSalt1, {"commitment1"});
    for (const char* field : {"BP1", "OgnOr1", "HolOr2", "StrZ1"}) {
        const std::string key = std::string("&") + field + "=";
        const std::size_t at = verification.find(key) + key.size();
        std::string value = verification.substr(at, verification.find('&', at) - at);
        value.back() = value.back() == '1' ? '2' : '1';
        tamperVerification(field, WithItem(verification, field, value), {"commitment", "InfoBM1", "InfoBM2"});
        cases.back().orMessageToo = true;
    }

    std::string log1 = posted.at("InfoBM1");
    log1[log1.size() / 2] = log1[log1.size() / 2] == '|' ? ' ' : '|';
    tamperPosted("InfoBM1", log1, {"InfoBM1"});
    std::string log2 = posted.at("InfoBM2");
    log2.insert(log2.size() - 1, " ");
    tamperPosted("InfoBM2", log2, {"InfoBM2"});
    std::string message = posted.at("ErrorText");
    message.pop_back();
    tamperPosted("ErrorText", message, {"ErrorText"});
    tamperPosted("ErrorText", "", {"ErrorText"});
    std::string commitment = posted.at("commitment");
    commitment[63] = commitment[63] == 'a' ? 'b' : 'a';
    tamperPosted("commitment", commitment, {"commitment"});
    tamperPosted("commitment1", fair::ToHex(fair::PlayerCommitment(*fair::Hex32(kSalt1), "1522")), {"commitment1"});
    tamperPosted("commitment2", posted.at("commitment1"), {"commitment2"});
    // A salt whose player posted no commitment: another verification of the
    // same duel, which one duel never has.
    tamperPosted("commitment1", nullptr, {"commitment1"});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const VerifyRun run = Verify(c.posted);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.result.at("verified"), false);
        Json named = c.named;
        if (c.orMessageToo && run.result.at("differs").size() == named.size() + 1) named.push_back("ErrorText");
        EXPECT_EQ(run.result.at("differs"), named);
    }
}

// A player's commitment posted when the verification carries no salt
// differs: the referee cannot leave out a salt to hide a changed word.
TEST(FairVerify, APostedCommitmentWithoutASaltDiffers) {
    const Json salted = FairDuel(kLongDuel, "1523", "1524", true);
    Json posted = Posted(FairDuel(kLongDuel, "1523", "1524"));
    posted["commitment2"] = salted.at("commitment2");
    const VerifyRun run = Verify(posted);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.result.at("differs"), Json({"commitment2"}));
    EXPECT_FALSE(run.result.contains("commitment2"));
}

// A commitment to request R opens no duel of another request R': whoever
// mends or swaps the request after committing is found out.
TEST(FairVerify, ACommitmentToOneRequestVerifiesNoOther) {
    const Json committed = Json::parse(RunProgram({"fair", "commit"}, kLongDuel).out);
    Json other = Json::parse(kLongDuel);
    other["StrSt24"] = "";  // duellist 2 without the noble costume
    const CliRun fought = RunProgram({"fair", "duel", "--secret", committed.at("secret"), "--word1", "7", "--word2",
                                      "8"},
                                     other.dump());
    ASSERT_EQ(fought.status, 0) << fought.err;
    Json posted = Posted(Json::parse(fought.out));
    posted["commitment"] = committed.at("commitment");
    const VerifyRun run = Verify(posted);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.result.at("differs"), Json({"commitment"}));
    // Fought with the commitment as posted, it is never fought at all.
    const CliRun refused = RunProgram({"fair", "duel", "--secret", committed.at("secret"), "--word1", "7", "--word2",
                                       "8", "--commitment", committed.at("commitment")},
                                      other.dump());
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(Json::parse(refused.out).at("differs"), Json({"commitment"}));
}

TEST(FairBadInput, IsRefusedWithOneLineAndStatusTwo) {
    const Json good = Posted(FairDuel(kLongDuel, "1", "2", true));
    const std::string verification = good.at("verification");
    auto verifyInput = [&](const std::string& key, const Json& value) {
        Json input = good;
        if (value.is_null()) input.erase(key);
        else input[key] = value;
        return input.dump();
    };
    auto duel = [](std::vector<std::string> more) {
        std::vector<std::string> args{"fair", "duel", "--secret", kSecret};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string complaint;  // a part of the one line
    };
    const Case cases[] = {
        {{"fair"}, "", "subcommand is required"},
        {{"fair", "roll"}, "", "unknown command \"fair roll\""},
        {{"fair", "duel", "--secret", "12", "--word1", "1", "--word2", "2"}, kLongDuel, "--secret must be 64 hexadecimal digits"},
        {{"fair", "duel", "--secret", kSecret + "0", "--word1", "1", "--word2", "2"}, kLongDuel, "--secret must be 64"},
        {{"fair", "duel", "--secret", " " + kSecret.substr(1), "--word1", "1", "--word2", "2"}, kLongDuel, "--secret must be 64"},
        {{"fair", "duel", "--word1", "1", "--word2", "2"}, kLongDuel, "--secret is required"},
        {duel({"--word2", "2"}), kLongDuel, "--word1 is required"},
        {duel({"--word1", "1"}), kLongDuel, "--word2 is required"},
        {duel({"--word1", "", "--word2", "2"}), kLongDuel, "--word1 is empty"},
        {duel({"--word1", "1", "--word2", std::string(21, '9')}), kLongDuel, "--word2 is longer than 20 digits"},
        {duel({"--word1", "0101", "--word2", "2"}), kLongDuel, "--word1 begins with 0"},
        {duel({"--word1", "101\xE2\x80\x8B", "--word2", "2"}), kLongDuel, "--word1 holds a character that is not ASCII"},
        {duel({"--word1", "\xEF\xBC\x91", "--word2", "2"}), kLongDuel, "--word1 holds a character that is not ASCII"},
        {duel({"--word1", "1", "--word2", "\xD0\x9F\xD0\xBE\xD1\x81\xD1\x82"}), kLongDuel, "--word2 holds a character that is not ASCII"},
        {duel({"--word1", "e\xCC\x81", "--word2", "2"}), kLongDuel, "--word1 holds a character that is not ASCII"},
        {duel({"--word1=+1", "--word2", "2"}), kLongDuel, "--word1 holds a character other than the digits"},
        {duel({"--word1", "1 ", "--word2", "2"}), kLongDuel, "--word1 holds a character other than the digits"},
        {duel({"--word1", "1\n", "--word2", "2"}), kLongDuel, "--word1 holds a character other than the digits"},
        {duel({"--word1", "1", "--word2", "2", "--salt1", "abc"}), kLongDuel, "--salt1 must be 64 hexadecimal digits"},
        {duel({"--word1", "1", "--word2", "2", "--salt2", kSalt2 + " "}), kLongDuel, "--salt2 must be 64"},
        {duel({"--word1", "1", "--word2", "2", "--salt1", kSalt1}), kLongDuel,
         "--salt1 needs --commitment1, the commitment that player posted"},
        {duel({"--word1", "1", "--word2", "2", "--commitment2", Committed(2, "2")}), kLongDuel,
         "--commitment2 needs --salt2"},
        {duel({"--word1", "1", "--word2", "2", "--commitment", "00"}), kLongDuel, "--commitment must be 64"},
        {{"fair", "commit"}, "[]", "must be a JSON object"},
        {{"fair", "commit"}, R"({"ShAtack1":"12\n"})", "\"ShAtack1\" contains a control character"},
        {{"fair", "check-secret", "--secret", kSecret}, kLongDuel, "--commitment is required"},
        {{"fair", "check-secret", "--secret", "ab", "--commitment", kSecret}, kLongDuel, "--secret must be 64"},
        {duel({"--word1", "1", "--word2", "2"}), "[]", "must be a JSON object"},
        {duel({"--word1", "1", "--word2", "2"}), Json{{"BP1", std::string(HealthLength() + 1, '1')}}.dump(),
         "longer than " + std::to_string(HealthLength())},
        {duel({"--word1", "1", "--word2", "2"}), R"({"ShAtack1":"12\n"})", "\"ShAtack1\" contains a control character"},
        {duel({"--word1", "1", "--word2", "2"}), R"({"StrSt14":"\t"})", "\"StrSt14\" contains a control character"},
        {duel({"--word1", "1", "--word2", "2"}), R"({"BP2":"3\u00850"})", "\"BP2\" contains a control character"},
        {{"fair", "commit", "--word", "01"}, "", "--word begins with 0"},
        {{"fair", "commit", "--word", ""}, "", "--word is empty"},
        {{"fair", "verify"}, "", "not valid JSON"},
        {{"fair", "verify"}, verifyInput("verification", nullptr), "the input lacks \"verification\""},
        {{"fair", "verify"}, verifyInput("InfoBM2", nullptr), "the input lacks \"InfoBM2\""},
        {{"fair", "verify"}, verifyInput("ErrorText", 0), "the value of \"ErrorText\" must be a string"},
        {{"fair", "verify"}, verifyInput("commitment1", 1), "the value of \"commitment1\" must be a string"},
        {{"fair", "verify"}, verifyInput("seed", "1"), "unknown key \"seed\""},
        {{"fair", "verify"}, verifyInput("commitment", "abc"), "\"commitment\" must be 64 hexadecimal digits"},
        {{"fair", "verify"}, verifyInput("commitment2", " " + good.at("commitment2").get<std::string>()),
         "\"commitment2\" must be 64 hexadecimal digits"},
        {{"fair", "verify"}, verifyInput("verification", "https://example.org/#x"), "does not start with saberline-fair-v3"},
        // Another format or rules' version is named with this program's.
        {{"fair", "verify"}, verifyInput("verification", "saberline-fair-v2" + verification.substr(25)),
         "the verification is of format saberline-fair-v2; this program reads only saberline-fair-v3"},
        {{"fair", "verify"}, verifyInput("verification", WithItem(verification, "rules", "2")),
         "the verification is of rules version 2; this program fights by rules version 1 (format saberline-fair-v3)"},
        {{"fair", "verify"}, verifyInput("verification", "https://example.org/saberline-fair-v3#fair:" + verification),
         "the text before \"#fair:\" holds \"saberline-fair\""},
        {{"fair", "verify"}, verifyInput("verification", " " + verification), "does not start with saberline-fair-v3"},
        {{"fair", "verify"}, verifyInput("verification", verification + "\n"), "\"ShAtack2\" in the verification holds a character"},
        {{"fair", "verify"}, verifyInput("verification", WithItem(verification, "secret", "00")), "not 64 lowercase hexadecimal digits"},
        {{"fair", "verify"}, verifyInput("verification", WithItem(verification, "word1", "01")), "\"word1\" in the verification begins with 0"},
        {{"fair", "verify"}, verifyInput("verification", WithItem(verification, "BP1", "0")),
         std::string("the rules refuse the request in the verification: ") + saberline::texts::kInputError},
        {{"fair", "verify"},
         verifyInput("verification", WithItem(verification, "BP1", "0" + std::string(HealthLength(), '9'))),
         "\"BP1\" in the verification is longer than " + std::to_string(HealthLength()) + " characters"},
        // A cold-weapon duel reads no firearm points: its canonical request has 1 there.
        {{"fair", "verify"}, verifyInput("verification", WithItem(verification, "TypeBattle", "2")),
         "\"OgnOr1\" in the verification is not in its canonical form"},
        {{"fair", "verify"}, verifyInput("verification", WithItem(verification, "BP1", "x270")),
         "\"BP1\" in the verification is not in its canonical form"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args) + " " + c.input);
        const CliRun run = RunProgram(c.args, c.input);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        ASSERT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_NE(run.err.find(c.complaint), std::string::npos) << run.err;
    }
}

// Output that cannot be written, like any failure of the program itself,
// has its own status: never 1, which says that a duel does not verify.
TEST(FairExitStatus, AFailureOfTheProgramIsThree) {
    class Broken final : public std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
        std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
    };
    Json posted = Posted(FairDuel(kLongDuel, "1523", "1524"));
    posted["InfoBM1"] = "not the log";
    ASSERT_EQ(Verify(posted).status, 1);
    Broken broken;
    std::ostream out(&broken);
    out.exceptions(std::ios::badbit);
    std::istringstream in(posted.dump());
    std::ostringstream err;
    EXPECT_EQ(RunCli({"fair", "verify"}, in, out, err), saberline::cli::kExitFailure);
    EXPECT_NE(err.str().find("internal error"), std::string::npos) << err.str();
}

// Readings of many fair duels, one after another, as a clock source: the
// referee's secret changes every ten duels, the players' words are post
// numbers.
class FairClock final : public saberline::ClockSource {
public:
    FairClock() {
        saberline::DuelRequest request = saberline::DuelRequest::StartUp();
        for (saberline::DuellistFields& fields : request.duellists) fields.firearm = fields.cold = fields.armour = "1";
        duel_.duel = std::get<fair::CanonicalDuel>(fair::Canonicalise(request));
    }
    std::uint64_t Read() override {
        if (next_ == fair::kReseeds) {
            next_ = 0;
            ++duelNumber_;
            duel_.word1 = std::to_string(1000 + duelNumber_);
            duel_.word2 = std::to_string(2000 + 3 * duelNumber_);
            if (duelNumber_ % 10 == 0) {
                const std::string seed = "secret " + std::to_string(duelNumber_);
                duel_.secret = fair::Sha256(Bytes(seed));
            }
            readings_ = fair::NativeReadings(duel_);
        }
        return readings_[static_cast<std::size_t>(next_++)];
    }

private:
    fair::FairDuel duel_;
    fair::Readings readings_{};
    int next_ = fair::kReseeds;
    int duelNumber_ = -1;
};

TEST(FairDice, PassTheFairnessTestsOfTheRealDice) {
    using saberline::testing::ChiSquaredTail;
    constexpr int kMoves = 200000;
    FairClock clock;
    const saberline::testing::DiceStatistics stats = saberline::testing::MeasureMoves(clock, kMoves);
    std::printf("chi-squared over %d fair moves: faces %.1f (5 dof), move to move %.1f (35 dof), "
                "within a move %.1f (35 dof)\n",
                kMoves, stats.faces, stats.moveToMove, stats.withinMove);
    EXPECT_GT(ChiSquaredTail(stats.faces, 5), 1e-6) << stats.faces;
    EXPECT_GT(ChiSquaredTail(stats.moveToMove, 35), 1e-6) << stats.moveToMove;
    EXPECT_GT(ChiSquaredTail(stats.withinMove, 35), 1e-6) << stats.withinMove;
}

}  // namespace
