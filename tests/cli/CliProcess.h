// Runs the built saberline-cli as a whole process, as a referee's script
// would: the arguments as given, the input on its standard input, and what
// it printed on standard output and standard error with its exit status.
#pragma once

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "CliRun.h"

inline CliRun RunProgram(const std::vector<std::string>& args, const std::string& input = "") {
    // A program that stops reading early must not end the test with SIGPIPE.
    static const bool pipeIgnored = [] { return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR; }();
    (void)pipeIgnored;
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (const int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
        std::vector<char*> argv{const_cast<char*>(SABERLINE_CLI_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(SABERLINE_CLI_PATH, argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    CliRun run{-1, {}, {}};
    std::size_t written = 0;
    if (input.empty()) close(in[1]);
    bool inOpen = !input.empty(), outOpen = true, errOpen = true;
    while (inOpen || outOpen || errOpen) {
        std::vector<pollfd> fds;
        if (inOpen) fds.push_back({in[1], POLLOUT, 0});
        if (outOpen) fds.push_back({out[0], POLLIN, 0});
        if (errOpen) fds.push_back({err[0], POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("poll failed");
        }
        for (const pollfd& p : fds) {
            if (!p.revents) continue;
            if (p.fd == in[1]) {
                const ssize_t n = write(in[1], input.data() + written, input.size() - written);
                if (n > 0) written += static_cast<std::size_t>(n);
                if (n <= 0 || written == input.size()) {
                    close(in[1]);
                    inOpen = false;
                }
                continue;
            }
            char buffer[4096];
            const ssize_t n = read(p.fd, buffer, sizeof buffer);
            if (n > 0) {
                (p.fd == out[0] ? run.out : run.err).append(buffer, static_cast<std::size_t>(n));
            } else {
                close(p.fd);
                (p.fd == out[0] ? outOpen : errOpen) = false;
            }
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
