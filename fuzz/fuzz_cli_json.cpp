// Fuzz target: the JSON input of saberline-cli. The input bytes are standard
// input for `duel --json --clock 1,2,3` and for `calc --json`.
//
// The command lines never change, so the commands are run through
// RunCommand, as RunCli runs them after parsing its arguments: building the
// command-line parser anew for every input took most of the time. One input
// in 32 (by its length) also goes through RunCli itself, which must print
// and return exactly the same.
//
// Checked: no crash; exit status 0 or 2; on 2 nothing on standard output and
// exactly one line on standard error; on 0 nothing on standard error and one
// JSON object with exactly the expected keys on standard output. An accepted
// duel request is also fought again directly through the core from the same
// JSON, and must show the same three texts.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "Dice.h"
#include "Duel.h"
#include "Texts.h"

namespace {

using Json = nlohmann::json;

[[noreturn]] void Fail(const char* what, const std::string& command, const std::string& out,
                       const std::string& err) {
    std::fprintf(stderr, "fuzz_cli_json: %s: %s\nstdout: %s\nstderr: %s\n", command.c_str(), what,
                 out.c_str(), err.c_str());
    std::abort();
}

struct Run {
    int status;
    std::string out;
    std::string err;
};

// The command as RunCli runs it for `args`; the two must agree.
Run RunCommand(saberline::cli::Command command, const saberline::cli::CommandOptions& options,
               const std::vector<std::string>& args, const std::string& input) {
    Run run;
    {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        run = {saberline::cli::RunCommand(command, options, in, out, err), out.str(), err.str()};
    }
    if (input.size() % 32 == 0) {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        const int status = saberline::cli::RunCli(args, in, out, err);
        if (status != run.status || out.str() != run.out || err.str() != run.err)
            Fail("RunCli and RunCommand differ", "RunCli", out.str(), err.str());
    }
    return run;
}

// The status and stream rules every command keeps; returns the JSON object
// printed on success, or null after bad input.
Json CheckStreams(const std::string& command, const Run& run) {
    if (run.status == saberline::cli::kExitBadInput) {
        if (!run.out.empty()) Fail("bad input printed to standard output", command, run.out, run.err);
        if (run.err.empty() || run.err.back() != '\n' ||
            std::count(run.err.begin(), run.err.end(), '\n') != 1)
            Fail("bad input is not reported in exactly one line", command, run.out, run.err);
        return nullptr;
    }
    if (run.status != saberline::cli::kExitOk) Fail("exit status neither 0 nor 2", command, run.out, run.err);
    if (!run.err.empty()) Fail("a finished run wrote to standard error", command, run.out, run.err);
    if (run.out.empty() || run.out.back() != '\n' || std::count(run.out.begin(), run.out.end(), '\n') != 1)
        Fail("the result is not one line", command, run.out, run.err);
    Json result = Json::parse(run.out, nullptr, false);
    if (result.is_discarded() || !result.is_object())
        Fail("the result is not a JSON object", command, run.out, run.err);
    return result;
}

std::set<std::string> Keys(const Json& object) {
    std::set<std::string> keys;
    for (const auto& item : object.items()) keys.insert(item.key());
    return keys;
}

bool IsDuelMessage(const std::string& text) {
    return std::any_of(std::begin(saberline::texts::kDuelMessages), std::end(saberline::texts::kDuelMessages),
                       [&](const char* m) { return text == m; });
}

void CheckDuel(const std::string& input) {
    const std::string command = "duel --json --clock 1,2,3";
    const Run run = RunCommand(saberline::cli::Command::Duel, {"1,2,3", true}, {"duel", "--json", "--clock", "1,2,3"},
                               input);
    const Json result = CheckStreams(command, run);
    if (result.is_null()) return;
    if (Keys(result) != std::set<std::string>{"InfoBM1", "InfoBM2", "ErrorText"})
        Fail("the duel result has other keys", command, run.out, run.err);
    for (const auto& item : result.items())
        if (!item.value().is_string()) Fail("a duel output is not a text", command, run.out, run.err);
    const std::string errorText = result["ErrorText"].get<std::string>();
    if (!errorText.empty() && !IsDuelMessage(errorText))
        Fail("ErrorText is not one of the duel screen's messages", command, run.out, run.err);

    // The same request straight through the core.
    const Json request = Json::parse(input, nullptr, false);
    if (request.is_discarded() || !request.is_object())
        Fail("accepted an input that is not a JSON object", command, run.out, run.err);
    saberline::DuelRequest direct = saberline::DuelRequest::StartUp();
    for (const auto& item : request.items()) {
        if (item.key() == "TypeBattle") {
            if (!item.value().is_number_integer())
                Fail("accepted a TypeBattle that is not a number", command, run.out, run.err);
            const auto type = item.value().get<std::int64_t>();
            if (type < 1 || type > 3)
                Fail("accepted a TypeBattle other than 1, 2, 3", command, run.out, run.err);
            direct.type = static_cast<saberline::DuelType>(type);
            continue;
        }
        const auto field = std::find_if(saberline::kDuelFields.begin(), saberline::kDuelFields.end(),
                                        [&](const saberline::DuelField& f) { return item.key() == f.name; });
        if (field == saberline::kDuelFields.end()) Fail("accepted an unknown key", command, run.out, run.err);
        if (!item.value().is_string())
            Fail("accepted a field value that is not a text", command, run.out, run.err);
        saberline::FieldText(direct, *field) = item.value().get<std::string>();
    }
    saberline::ListClock clock({1, 2, 3});
    saberline::Dice dice(clock);
    const saberline::DuelScreenTexts screen = saberline::RunDuelRequest(direct, dice);
    if (screen.InfoBM1 != result["InfoBM1"] || screen.InfoBM2 != result["InfoBM2"] ||
        screen.ErrorText != result["ErrorText"])
        Fail("the printed texts differ from the core's duel request", command, run.out, run.err);
}

void CheckCalc(const std::string& input) {
    const std::string command = "calc --json";
    const Run run = RunCommand(saberline::cli::Command::Calc, {std::nullopt, true}, {"calc", "--json"}, input);
    const Json result = CheckStreams(command, run);
    if (result.is_null()) return;
    const std::set<std::string> keys = Keys(result);
    if (keys == std::set<std::string>{"Message"}) {
        if (result["Message"] != saberline::texts::kForumInputError)
            Fail("the calculator's message is not its own", command, run.out, run.err);
        return;
    }
    if (keys != std::set<std::string>{"FOgnOr1", "FHolOr1", "FStrZ1", "FOgnOr2", "FHolOr2", "FStrZ2"})
        Fail("the calculator's result has other keys", command, run.out, run.err);
    for (const auto& item : result.items()) {
        if (!item.value().is_string()) Fail("a result is not a text", command, run.out, run.err);
        const std::string text = item.value().get<std::string>();
        if (text.empty() || text.size() > 11 || text.find_first_not_of("-0123456789") != std::string::npos)
            Fail("a result is not a number's text", command, run.out, run.err);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    CheckDuel(input);
    CheckCalc(input);
    return 0;
}
