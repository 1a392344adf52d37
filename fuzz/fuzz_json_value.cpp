// Fuzz target: the JSON readers, each against another. The page's reader
// (web/Value.cpp, written by hand) against nlohmann-json, and the command
// line's reading of its standard input (nlohmann-json with the program's own
// strictness) against both.
//
// Input: a JSON text, or anything else.
//
// The strictness both readers document (Value.h, docs/command-line.md): one
// value, nothing after it but blanks, a zero byte not being one; strings of
// well-formed UTF-8. nlohmann-json ends a text at a zero byte outside a
// string, so the reference is nlohmann-json's verdict on a text without one.
// Checked:
// - the page's reader accepts exactly what the reference accepts, but for
//   what Value.h lets it differ in: a \u escape of a lone surrogate (it
//   keeps it), nesting deeper than 32 (it refuses), a number at the edge of
//   the double range (read to within a few units in the last place);
// - what both accept, they read to the same value: the same kinds, texts,
//   items and members (the last of a repeated name), numbers within 1e-12;
// - `saberline-cli calc --json` calls the input "not valid JSON" (or a
//   number too large) exactly when the reference refuses it.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "Cli.h"
#include "Items.h"
#include "Value.h"

namespace {

using Json = nlohmann::json;
using saberline::web::Value;

[[noreturn]] void Fail(const char* what, std::string_view input) {
    std::fprintf(stderr, "fuzz_json_value: %s\ninput: ", what);
    for (const char c : input)
        std::fprintf(stderr, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02x", static_cast<unsigned char>(c));
    std::fprintf(stderr, "\n");
    std::abort();
}

// Whether a string of the text holds a \u escape of a surrogate (D800 to
// DFFF), paired or not, read as JSON's strings are read.
bool HasSurrogateEscape(std::string_view text) {
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!inString) {
            inString = text[i] == '"';
            continue;
        }
        if (text[i] == '"') {
            inString = false;
        } else if (text[i] == '\\' && i + 1 < text.size()) {
            if (text[i + 1] == 'u' && i + 5 < text.size()) {
                unsigned code = 0;
                bool hex = true;
                for (std::size_t k = i + 2; k < i + 6; ++k) {
                    const int digit = saberline::items::HexValue(text[k]);
                    hex = hex && digit >= 0;
                    code = code * 16 + static_cast<unsigned>(digit < 0 ? 0 : digit);
                }
                if (hex && code >= 0xD800 && code <= 0xDFFF) return true;
            }
            ++i;
        }
    }
    return false;
}

std::size_t Depth(const Json& value) {
    std::size_t deepest = 0;
    if (value.is_array() || value.is_object())
        for (const Json& item : value) deepest = std::max(deepest, Depth(item));
    return (value.is_array() || value.is_object() ? 1 : 0) + deepest;
}

double Largest(const Json& value) {
    if (value.is_number()) return std::abs(value.get<double>());
    double largest = 0;
    if (value.is_array() || value.is_object())
        for (const Json& item : value) largest = std::max(largest, Largest(item));
    return largest;
}

bool SameNumber(double a, double b) {
    if (a == b) return true;
    const double scale = std::max(std::abs(a), std::abs(b));
    return scale < 1e-290 || std::abs(a - b) <= 1e-12 * scale;
}

bool Same(const Json& reference, const Value& read) {
    switch (reference.type()) {
        case Json::value_t::null: return read.isNull();
        case Json::value_t::boolean: return read.Json() == (reference.get<bool>() ? "true" : "false");
        case Json::value_t::number_integer:
        case Json::value_t::number_unsigned:
        case Json::value_t::number_float:
            return read.isNumber() && SameNumber(reference.get<double>(), read.number());
        case Json::value_t::string: return read.isString() && read.text() == reference.get<std::string>();
        case Json::value_t::array: {
            if (!read.isArray() || read.size() != reference.size()) return false;
            for (std::size_t i = 0; i < reference.size(); ++i)
                if (!Same(reference[i], read[i])) return false;
            return true;
        }
        case Json::value_t::object: {
            if (read.Json().front() != '{' || read.size() != reference.size()) return false;
            for (const auto& item : reference.items())
                if (!Same(item.value(), read[item.key()])) return false;
            return true;
        }
        default: return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    // The reference: nlohmann-json's verdict, a zero byte refused.
    std::optional<Json> reference;
    bool tooLarge = false;
    if (input.find('\0') == std::string::npos) {
        try {
            reference = Json::parse(input);
        } catch (const Json::parse_error&) {
        } catch (const Json::out_of_range&) {
            tooLarge = true;  // a number no double holds
        }
    }

    const std::optional<Value> read = Value::Parse(input);
    if (!HasSurrogateEscape(input)) {
        if (reference && !read) {
            const bool allowed = Depth(*reference) > 32 || Largest(*reference) > 1e300;
            if (!allowed) Fail("the page's reader refuses what the reference accepts", input);
        }
        if (!reference && read && !(tooLarge && Largest(Json::parse(read->Json(), nullptr, false)) > 1e300))
            Fail("the page's reader accepts what the reference refuses", input);
        if (reference && read && !Same(*reference, *read)) Fail("the two readers read different values", input);
    }

    // The command line's verdict.
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = saberline::cli::RunCommand(saberline::cli::Command::Calc, {std::nullopt, true}, in, out, err);
    const std::string complaint = err.str();
    const bool cliRefused = status == saberline::cli::kExitBadInput &&
                            (complaint.rfind("saberline-cli: the input is not valid JSON (", 0) == 0 ||
                             complaint == "saberline-cli: the input holds a number too large to read\n");
    if (cliRefused == reference.has_value())
        Fail(cliRefused ? "the command line refuses JSON the reference accepts"
                        : "the command line accepts what the reference refuses",
             input);
    return 0;
}
