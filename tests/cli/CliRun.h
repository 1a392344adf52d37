// Runs saberline-cli in-process, as the program's main would, and keeps what
// it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun RunCommand(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = saberline::cli::RunCli(args, in, out, err);
    return {status, out.str(), err.str()};
}
