// What every run of saberline-cli must keep, whatever it was given: the
// exit status and the two streams. Shared by the fuzz targets that run the
// command line (RunCli) on hostile input.
//
// Status 0 to 3. On 2 (bad input) or 3 (a failure of the program): nothing on
// standard output, and on standard error exactly one line that starts with
// the program's name and holds no control character (no line break, no
// terminal escape, no 8-bit control) and no byte that is not UTF-8. On 0 or
// 1: something on standard output, ended by a line break, and on standard
// error nothing but, at most, one such line that is a warning
// ("saberline-cli: warning: ...", as `fair commit --word` gives).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <istream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "Readings.h"
#include "Value.h"

namespace saberline::fuzz {

struct CliRun {
    int status = 0;
    std::string out;
    std::string err;
};

inline CliRun RunCliOn(const std::vector<std::string>& args, const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = saberline::cli::RunCli(args, in, out, err);
    return {status, out.str(), err.str()};
}

inline std::string Shown(const std::vector<std::string>& args) {
    std::string shown = "saberline-cli";
    for (const std::string& arg : args) {
        shown += " [";
        for (const char c : arg) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02x",
                          static_cast<unsigned char>(c));
            shown += escaped;
        }
        shown += "]";
    }
    return shown;
}

[[noreturn]] inline void Fail(const char* target, const char* what, const std::vector<std::string>& args,
                              const CliRun& run) {
    std::fprintf(stderr, "%s: %s\n%s\nstatus %d\nstdout: %s\nstderr: %s\n", target, what, Shown(args).c_str(),
                 run.status, run.out.c_str(), run.err.c_str());
    std::abort();
}

// A line as a terminal may show it safely: well-formed UTF-8 without the
// controls U+0000 to U+001F and U+007F to U+009F.
inline bool Printable(const std::string& line) {
    if (!CountUtf8Characters(line)) return false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (byte < 0x20 || byte == 0x7F) return false;
        if (byte == 0xC2 && i + 1 < line.size() && static_cast<unsigned char>(line[i + 1]) < 0xA0) return false;
    }
    return true;
}

// The rule above; `maySayNo` when status 1 (a fair command's "does not
// verify") is one of the command's answers.
inline void CheckStreams(const char* target, const std::vector<std::string>& args, const CliRun& run,
                         bool maySayNo) {
    if (run.status < 0 || run.status > 3 || (run.status == 1 && !maySayNo))
        Fail(target, "an exit status the command does not give", args, run);
    if (run.status >= 2) {
        if (!run.out.empty()) Fail(target, "a failure printed to standard output", args, run);
        const std::size_t end = run.err.find('\n');
        if (end == std::string::npos || end + 1 != run.err.size())
            Fail(target, "the complaint is not exactly one line", args, run);
        if (run.err.rfind("saberline-cli: ", 0) != 0) Fail(target, "the complaint does not name the program", args, run);
        if (!Printable(run.err.substr(0, end)))
            Fail(target, "the complaint holds a control character or a byte that is not UTF-8", args, run);
        return;
    }
    if (!run.err.empty()) {
        const std::size_t end = run.err.find('\n');
        if (run.err.rfind("saberline-cli: warning: ", 0) != 0 || end + 1 != run.err.size() ||
            !Printable(run.err.substr(0, end)))
            Fail(target, "a finished run wrote to standard error other than one warning", args, run);
    }
    if (run.out.empty() || run.out.back() != '\n') Fail(target, "a finished run printed no line", args, run);
}

// The JSON object a finished JSON command printed, read by the page's own
// reader (web/Value.cpp), not by the library that wrote it; exactly one line.
inline saberline::web::Value JsonLine(const char* target, const std::vector<std::string>& args, const CliRun& run) {
    if (run.out.find('\n') + 1 != run.out.size()) Fail(target, "the result is not one line", args, run);
    const std::optional<saberline::web::Value> value =
        saberline::web::Value::Parse(std::string_view(run.out).substr(0, run.out.size() - 1));
    if (!value) Fail(target, "the result is not JSON", args, run);
    if (value->Json().front() != '{') Fail(target, "the result is not a JSON object", args, run);
    return *value;
}

}  // namespace saberline::fuzz
