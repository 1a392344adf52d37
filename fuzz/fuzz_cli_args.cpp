// Fuzz target: saberline-cli's command line, whatever words it is given.
//
// Input: the first byte chooses standard input (kInputs); the rest is the
// arguments, separated by zero bytes (an argument never holds one).
//
// Checked: the streams rule of CliStreams.h for every command line (status,
// exactly one printable complaint line on 2 or 3, nothing mixed). And a
// command line that ReadPlainCommandLine reads (the program then runs it
// without the command-line parser) runs through RunCommand exactly as RunCli
// runs it: the same status, output and complaint; on the machine's clock
// (no --clock) the dice differ from run to run, so there the same status,
// complaint and number of lines.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "CliStreams.h"

namespace {

using namespace saberline::fuzz;

constexpr const char* kTarget = "fuzz_cli_args";

const std::string kInputs[] = {
    "",
    "{}",
    R"({"BP1":"40","OgnOr1":"12","HolOr1":"1","StrZ1":"3","BP2":"20","OgnOr2":"9","HolOr2":"1","StrZ2":"4"})",
    R"({"SumPostsBM1":"120","SumRBM1":"15","ChM11":true})",
    R"({"verification":"x","commitment":"00","InfoBM1":"","InfoBM2":"","ErrorText":""})",
    R"({"BP1":"40","OgnOr1":"6","HolOr1":"8","StrZ1":"2","StrSt11":"1","ShAtack1":"246135","TypeBattle":2})",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string& input = kInputs[data[0] % std::size(kInputs)];
    std::vector<std::string> args;
    if (size > 1) {
        std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
        std::size_t start = 0;
        for (;;) {
            const std::size_t zero = rest.find('\0', start);
            args.push_back(rest.substr(start, zero - start));
            if (zero == std::string::npos) break;
            start = zero + 1;
        }
    }
    if (args.size() > 16) return 0;

    const CliRun run = RunCliOn(args, input);
    CheckStreams(kTarget, args, run, true);

    const auto plain = saberline::cli::ReadPlainCommandLine(args);
    if (!plain) return 0;
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const CliRun direct{saberline::cli::RunCommand(plain->command, plain->options, in, out, err), out.str(), err.str()};
    const bool realClock = !plain->options.clock && (plain->command == saberline::cli::Command::Duel ||
                                                     plain->command == saberline::cli::Command::Scheme);
    const bool same = realClock ? direct.status == run.status && direct.err == run.err &&
                                      std::count(direct.out.begin(), direct.out.end(), '\n') ==
                                          std::count(run.out.begin(), run.out.end(), '\n')
                                : direct.status == run.status && direct.out == run.out && direct.err == run.err;
    if (!same) Fail(kTarget, "a plain command line runs otherwise than the parser runs it", args, direct);
    return 0;
}
