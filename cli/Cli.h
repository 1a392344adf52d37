// saberline-cli: the duel referee and the calculator without a window, for
// referees who script duels or run a forum bot.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace saberline::cli {

// Exit statuses: 0 for a finished run (a refused request included), 1 when
// a fair command finds that what was posted does not verify (`fair verify`,
// `fair check-secret`, `fair duel` with posted commitments), 2 for bad input
// or a usage error, 3 when the program itself fails.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNotVerified = 1;
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitFailure = 3;

// Standard input is read up to this many bytes; more is bad input.
inline constexpr std::size_t kMaxInputBytes = std::size_t{1024} * 1024;

// Runs one command. `args` are the words after the program name, e.g.
// {"duel", "--json", "--clock", "1,2"}. The request (if any) is read from
// `in`; results go to `out`, the one-line complaint about bad input to `err`.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err);

// One command whose command line has been read: what RunCli runs once it
// has parsed its arguments. For callers that run many requests under the
// same command line (the fuzz target), without building the command-line
// parser for each; output, complaints and statuses are RunCli's.
enum class Command { Duel, Scheme, Calc, Odds };
struct CommandOptions {
    std::optional<std::string> clock;  // --clock, for the commands that take it
    bool json = false;                 // --json, likewise
};
int RunCommand(Command command, const CommandOptions& options, std::istream& in, std::ostream& out,
               std::ostream& err);

// The command lines a script or a forum bot gives most: `duel`, `scheme`,
// `calc` or `odds`, then each option the command takes at most once, in any
// order: `--json`, and `--clock LIST` or `--clock=LIST` (LIST not empty,
// not an option and not a command's name); which command takes which is
// the command table in Cli.cpp (kPlainCommands), which RunCli builds its
// parser from too. Read without the command-line parser, whose set-up took
// a third of such a process's time (bench/README.md); RunCommand runs them
// exactly as RunCli would. nullopt for anything else (help, usage errors,
// the fair commands): RunCli's.
struct PlainCommandLine {
    Command command;
    CommandOptions options;
};
std::optional<PlainCommandLine> ReadPlainCommandLine(const std::vector<std::string>& args);

}  // namespace saberline::cli
