#include <iostream>
#include <string>
#include <vector>

#include "Cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    // The commands a bot runs most, without building the command-line parser.
    const auto plain = saberline::cli::ReadPlainCommandLine(args);
    const int status =
        plain ? saberline::cli::RunCommand(plain->command, plain->options, std::cin, std::cout, std::cerr)
              : saberline::cli::RunCli(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    // Output that could not be written (a full disk, a closed pipe) is a
    // failure of the program, whatever the command found.
    if (!std::cout) {
        std::cerr << "saberline-cli: internal error: standard output could not be written\n";
        return saberline::cli::kExitFailure;
    }
    return status;
}
