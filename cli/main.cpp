#include <iostream>
#include <string>
#include <vector>

#include "Cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const int status = saberline::cli::RunCli(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
