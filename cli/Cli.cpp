#include "Cli.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>

#include "Calculator.h"
#include "Dice.h"
#include "Duel.h"
#include "Odds.h"

namespace saberline::cli {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr const char* kProgram = "saberline-cli";

// Anything wrong with what the caller gave us: one line on standard error,
// exit status 2.
class BadInput : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A name as it may be quoted in a one-line complaint: JSON-escaped, so that
// control characters and quotes cannot break the line.
std::string Quoted(const std::string& name) {
    return Json(name).dump(-1, ' ', false, Json::error_handler_t::replace);
}

// Reads at most one byte past the limit, a piece at a time, so that a small
// request costs no more than its size.
std::string ReadInput(std::istream& in) {
    std::string data;
    char piece[4096];  // not cleared: only what is read from it is used
    while (data.size() <= kMaxInputBytes && in) {
        const std::size_t wanted = std::min(sizeof piece, kMaxInputBytes + 1 - data.size());
        in.read(piece, static_cast<std::streamsize>(wanted));
        data.append(piece, static_cast<std::size_t>(in.gcount()));
    }
    if (data.size() > kMaxInputBytes) throw BadInput("the input is larger than 1 MiB");
    return data;
}

// The request object: valid JSON, an object at the top, no key twice.
Json ReadRequestObject(std::istream& in) {
    const std::string text = ReadInput(in);
    std::optional<std::string> duplicate;
    std::set<std::string> keys;
    Json::parser_callback_t noteKeys = [&](int depth, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::key && depth == 1 && !duplicate) {
            std::string key = parsed.get<std::string>();
            if (!keys.insert(key).second) duplicate = std::move(key);
        }
        return true;
    };
    Json request;
    try {
        request = Json::parse(text, noteKeys);
    } catch (const Json::parse_error& error) {
        throw BadInput("the input is not valid JSON (error at byte " + std::to_string(error.byte) + ")");
    } catch (const Json::out_of_range&) {
        // A number such as 1E400 that no double can hold.
        throw BadInput("the input holds a number too large to read");
    }
    if (!request.is_object()) throw BadInput("the input must be a JSON object");
    if (duplicate) throw BadInput("the key " + Quoted(*duplicate) + " appears more than once");
    return request;
}

// A field text: a JSON string of well-formed UTF-8, without zero characters,
// no longer than the screen lets the user type into the field.
std::string TakeFieldText(const std::string& key, const Json& value, int maxLength) {
    if (!value.is_string()) throw BadInput("the value of " + Quoted(key) + " must be a string");
    std::string text = value.get<std::string>();
    const std::optional<std::size_t> length = CountUtf8Characters(text);
    if (!length) throw BadInput("the value of " + Quoted(key) + " is not valid UTF-8");
    if (text.find('\0') != std::string::npos)
        throw BadInput("the value of " + Quoted(key) + " contains a zero character");
    if (*length > static_cast<std::size_t>(maxLength))
        throw BadInput("the value of " + Quoted(key) + " is longer than " + std::to_string(maxLength) +
                       (maxLength == 1 ? " character" : " characters"));
    return text;
}

DuelType TakeDuelType(const Json& value) {
    // Only the integers 1, 2 and 3: no fractions, no booleans, no texts.
    if (value.is_number_unsigned()) {
        const auto type = value.get<std::uint64_t>();
        if (type >= 1 && type <= 3) return static_cast<DuelType>(type);
    }
    throw BadInput("the value of \"TypeBattle\" must be the number 1, 2 or 3");
}

DuelRequest ReadDuelRequest(std::istream& in) {
    const Json object = ReadRequestObject(in);
    DuelRequest request = DuelRequest::StartUp();
    for (const auto& item : object.items()) {
        const std::string& key = item.key();
        const Json& value = item.value();
        if (key == "TypeBattle") {
            request.type = TakeDuelType(value);
            continue;
        }
        const auto* const field = std::find_if(kDuelFields.begin(), kDuelFields.end(),
                                        [&](const DuelField& f) { return key == f.name; });
        if (field == kDuelFields.end()) throw BadInput("unknown key " + Quoted(key));
        FieldText(request, *field) = TakeFieldText(key, value, field->maxLength);
    }
    return request;
}

// ChM11..ChM15, ChM21..ChM25: the duellist (1 or 2) of a black-mark box, or
// 0 when `key` names no box.
int BlackMarkOwner(const std::string& key) {
    if (key.size() != 5 || key.compare(0, 3, "ChM") != 0) return 0;
    if ((key[3] != '1' && key[3] != '2') || key[4] < '1' || key[4] > '0' + kBlackMarks) return 0;
    return key[3] - '0';
}

ForumFields ReadForumFields(std::istream& in) {
    const Json object = ReadRequestObject(in);
    ForumFields fields;
    for (const auto& item : object.items()) {
        const std::string& key = item.key();
        const Json& value = item.value();
        const auto* const text = std::find_if(kForumTextFields.begin(), kForumTextFields.end(),
                                       [&](const ForumTextField& f) { return key == f.name; });
        if (text != kForumTextFields.end()) {
            fields.*(text->text) = TakeFieldText(key, value, text->maxLength);
            continue;
        }
        const int owner = BlackMarkOwner(key);
        if (owner == 0) throw BadInput("unknown key " + Quoted(key));
        if (!value.is_boolean()) throw BadInput("the value of " + Quoted(key) + " must be true or false");
        if (value.get<bool>()) ++(owner == 1 ? fields.marks1 : fields.marks2);
    }
    return fields;
}

// The dice of one run: chosen readings with --clock, else the machine's
// clock.
class RunDice {
public:
    explicit RunDice(const std::optional<std::string>& clockList) {
        if (!clockList) return;
        std::optional<std::vector<std::uint64_t>> readings = ParseClockList(*clockList);
        if (!readings)
            throw BadInput("--clock must be a comma-separated list of unsigned 64-bit integers");
        clock_.emplace(std::move(*readings));
        dice_.emplace(*clock_);
    }
    Dice& Get() { return dice_ ? *dice_ : ProcessDice(); }

private:
    std::optional<ListClock> clock_;
    std::optional<Dice> dice_;
};

std::string Dump(const OrderedJson& object) { return object.dump(-1, ' ', false); }

int RunDuelCommand(const std::optional<std::string>& clockList, bool json, std::istream& in,
                   std::ostream& out) {
    RunDice dice(clockList);
    const DuelRequest request = ReadDuelRequest(in);
    const DuelScreenTexts texts = RunDuelRequest(request, dice.Get());
    if (json) {
        OrderedJson result;
        result["InfoBM1"] = texts.InfoBM1;
        result["InfoBM2"] = texts.InfoBM2;
        result["ErrorText"] = texts.ErrorText;
        out << Dump(result) << '\n';
    } else {
        out << "InfoBM1: " << texts.InfoBM1 << '\n'
            << "InfoBM2: " << texts.InfoBM2 << '\n'
            << "ErrorText: " << texts.ErrorText << '\n';
    }
    return kExitOk;
}

int RunSchemeCommand(const std::optional<std::string>& clockList, std::ostream& out) {
    RunDice dice(clockList);
    out << GenerateScheme(dice.Get()) << '\n';
    return kExitOk;
}

int RunCalcCommand(bool json, std::istream& in, std::ostream& out) {
    const ForumFields fields = ReadForumFields(in);
    const Calculation calculation = CalculateCombat(fields);
    const CombatTexts& r = calculation.results;
    const std::array<std::pair<const char*, const std::string*>, 6> results{{
        {"FOgnOr1", &r.FOgnOr1},
        {"FHolOr1", &r.FHolOr1},
        {"FStrZ1", &r.FStrZ1},
        {"FOgnOr2", &r.FOgnOr2},
        {"FHolOr2", &r.FHolOr2},
        {"FStrZ2", &r.FStrZ2},
    }};
    if (json) {
        OrderedJson result;
        if (!calculation.message.empty())
            result["Message"] = calculation.message;
        else
            for (const auto& [name, text] : results) result[name] = *text;
        out << Dump(result) << '\n';
    } else if (!calculation.message.empty()) {
        out << "Message: " << calculation.message << '\n';
    } else {
        for (const auto& [name, text] : results) out << name << ": " << *text << '\n';
    }
    return kExitOk;
}

std::string Percent(double probability) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%", probability * 100.0);
    return text;
}

int RunOddsCommand(bool json, std::istream& in, std::ostream& out) {
    const DuelRequest request = ReadDuelRequest(in);
    const DuelOdds odds = ComputeOdds(request);
    const bool refused = !odds.ErrorText.empty();
    if (json) {
        OrderedJson result;
        result["ErrorText"] = odds.ErrorText;
        if (!refused) {
            result["duellist1"] = odds.duellist1;
            result["duellist2"] = odds.duellist2;
            result["both_fell"] = odds.bothFell;
            result["undecided"] = odds.undecided;
            result["expected_moves"] = odds.expectedMoves;
        }
        out << Dump(result) << '\n';
    } else if (refused) {
        out << "ErrorText: " << odds.ErrorText << '\n';
    } else {
        char moves[32];
        std::snprintf(moves, sizeof moves, "%.1f", odds.expectedMoves);
        out << "Duellist 1 wins: " << Percent(odds.duellist1) << '\n'
            << "Duellist 2 wins: " << Percent(odds.duellist2) << '\n'
            << "Both fall: " << Percent(odds.bothFell) << '\n'
            << "Undecided after 100 moves: " << Percent(odds.undecided) << '\n'
            << "Expected number of moves: " << moves << '\n';
    }
    return kExitOk;
}

// Runs a command: bad input becomes one line on standard error and status
// 2, any other error status 1.
template <typename Run>
int Guarded(std::ostream& err, Run&& run) {
    try {
        return run();
    } catch (const BadInput& error) {
        err << kProgram << ": " << error.what() << '\n';
        return kExitBadInput;
    } catch (const std::exception& error) {
        err << kProgram << ": internal error: " << error.what() << '\n';
        return 1;
    }
}

}  // namespace

std::optional<std::vector<std::uint64_t>> ParseClockList(std::string_view list) {
    std::vector<std::uint64_t> readings;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view item = list.substr(start, comma - start);
        if (item.empty()) return std::nullopt;
        std::uint64_t value = 0;
        for (const char c : item) {
            if (c < '0' || c > '9') return std::nullopt;
            const auto digit = static_cast<std::uint64_t>(c - '0');
            if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
            value = value * 10 + digit;
        }
        readings.push_back(value);
        if (comma == list.size()) return readings;
        start = comma + 1;
    }
}

std::optional<std::size_t> CountUtf8Characters(std::string_view text) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t code = 0;
        std::uint32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, code = lead & 0x1Fu, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, code = lead & 0x0Fu, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, code = lead & 0x07u, minimum = 0x10000;
        } else {
            return std::nullopt;  // a continuation byte, C0, C1 or F5..FF in lead position
        }
        if (text.size() - i <= extra) return std::nullopt;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u) return std::nullopt;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
        i += extra + 1;
        ++count;
    }
    return count;
}

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    CLI::App app{"Saberline 2.0: the duel referee and the characteristics calculator without a window.",
                 kProgram};
    app.require_subcommand(1);

    std::optional<std::string> duelClock;
    bool duelJson = false;
    CLI::App* duel = app.add_subcommand(
        "duel", "Fight one duel request read from standard input as a JSON object of the duel screen's fields");
    duel->add_option("--clock", duelClock, "Comma-separated clock readings for the dice; the last one repeats");
    duel->add_flag("--json", duelJson, R"(Print {"InfoBM1", "InfoBM2", "ErrorText"} as JSON)");

    std::optional<std::string> schemeClock;
    CLI::App* scheme = app.add_subcommand("scheme", "Print a random attack scheme of 100 digits");
    scheme->add_option("--clock", schemeClock, "Comma-separated clock readings for the dice; the last one repeats");

    bool calcJson = false;
    CLI::App* calc = app.add_subcommand(
        "calc", "Turn forum parameters read from standard input as a JSON object into combat values");
    calc->add_flag("--json", calcJson, R"(Print the six results, or {"Message"}, as JSON)");

    bool oddsJson = false;
    CLI::App* odds = app.add_subcommand(
        "odds", "Exact chances of each duel ending under fair dice, for a duel request read like `duel` reads it");
    odds->add_flag("--json", oddsJson, "Print the chances as JSON");

    // A first word that is no option and no command: say so plainly rather
    // than that a command is missing.
    if (!args.empty() && !args.front().empty() && args.front().front() != '-') {
        const auto commands = app.get_subcommands([](const CLI::App*) { return true; });
        if (std::none_of(commands.begin(), commands.end(),
                         [&](const CLI::App* command) { return command->check_name(args.front()); })) {
            err << kProgram << ": unknown command " << Quoted(args.front()) << " (try " << kProgram
                << " --help)\n";
            return kExitBadInput;
        }
    }

    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error, out, err);
        err << kProgram << ": " << error.what() << " (try " << kProgram << " --help)\n";
        return kExitBadInput;
    }

    return Guarded(err, [&] {
        if (duel->parsed()) return RunDuelCommand(duelClock, duelJson, in, out);
        if (scheme->parsed()) return RunSchemeCommand(schemeClock, out);
        if (calc->parsed()) return RunCalcCommand(calcJson, in, out);
        if (odds->parsed()) return RunOddsCommand(oddsJson, in, out);
        return kExitBadInput;  // not reached: one subcommand is required
    });
}

int RunCommand(Command command, const CommandOptions& options, std::istream& in, std::ostream& out,
               std::ostream& err) {
    return Guarded(err, [&] {
        switch (command) {
            case Command::Duel: return RunDuelCommand(options.clock, options.json, in, out);
            case Command::Scheme: return RunSchemeCommand(options.clock, out);
            case Command::Calc: return RunCalcCommand(options.json, in, out);
            case Command::Odds: return RunOddsCommand(options.json, in, out);
        }
        return kExitBadInput;
    });
}

}  // namespace saberline::cli
