// Fuzz target: the integer text rule. TryTextToInt and TextToInt are checked
// against a second, separately written reading of the same rule; any
// difference in acceptance or value aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "IntText.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
    std::fprintf(stderr, "fuzz_int_text: %s for text [", what);
    for (unsigned char c : text) std::fprintf(stderr, c >= 32 && c < 127 ? "%c" : "\\x%02x", c);
    std::fprintf(stderr, "]\n");
    std::abort();
}

bool IsDecimal(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    static constexpr char kLower[] = "0123456789abcdef";
    static constexpr char kUpper[] = "0123456789ABCDEF";
    for (int i = 0; i < 16; ++i)
        if (c == kLower[i] || c == kUpper[i]) return i;
    return -1;
}

// The reference: cut the text into blanks, sign, prefix and digit run, then
// judge the digit run as a whole by its count of significant digits and its
// exact value. Returns false when the text is refused.
bool Reference(std::string_view text, std::int32_t& out) {
    if (text.empty()) return false;
    const std::size_t firstNonBlank = text.find_first_not_of(' ');
    if (firstNonBlank == std::string_view::npos) return false;
    std::string_view rest = text.substr(firstNonBlank);

    int sign = 1;
    if (rest.front() == '+' || rest.front() == '-') {
        sign = rest.front() == '-' ? -1 : 1;
        rest.remove_prefix(1);
    }
    if (rest.empty()) return false;

    enum class Base { Decimal, Hex } base = Base::Decimal;
    std::string_view digits;
    if (rest.front() == '$' || rest.front() == 'x' || rest.front() == 'X') {
        base = Base::Hex;
        digits = rest.substr(1);
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        base = Base::Hex;
        digits = rest.substr(2);
    } else if (rest == "0") {
        out = 0;
        return true;
    } else {
        digits = rest;
    }

    if (digits.empty()) return false;

    if (base == Base::Decimal) {
        for (char c : digits)
            if (!IsDecimal(c)) return false;
        const std::size_t firstSignificant = digits.find_first_not_of('0');
        const std::string_view significant =
            firstSignificant == std::string_view::npos ? std::string_view() : digits.substr(firstSignificant);
        if (significant.size() > 10) return false;
        __int128 magnitude = 0;
        for (char c : significant) magnitude = magnitude * 10 + (c - '0');
        const __int128 signedValue = sign * magnitude;
        if (signedValue > 2147483647 || signedValue < -static_cast<__int128>(2147483648LL)) return false;
        out = static_cast<std::int32_t>(static_cast<long long>(signedValue));
        return true;
    }

    for (char c : digits)
        if (HexValue(c) < 0) return false;
    std::size_t skip = 0;
    while (skip < digits.size() && digits[skip] == '0') ++skip;
    if (digits.size() - skip > 8) return false;
    std::uint64_t pattern = 0;
    for (std::size_t i = skip; i < digits.size(); ++i)
        pattern = (pattern << 4) | static_cast<std::uint64_t>(HexValue(digits[i]));
    // The 32-bit pattern read as two's complement, negated modulo 2^32 for '-'.
    std::int64_t value = pattern >= 0x80000000ull ? static_cast<std::int64_t>(pattern) - 0x100000000LL
                                                  : static_cast<std::int64_t>(pattern);
    if (sign < 0) value = -value;
    if (value > 2147483647LL) value -= 0x100000000LL;  // -(-2^31) is -2^31 again
    out = static_cast<std::int32_t>(value);
    return true;
}

void CheckText(std::string_view text) {
    std::int32_t expected = 0;
    const bool referenceAccepts = Reference(text, expected);

    std::int32_t got = 12345;
    const bool accepts = saberline::TryTextToInt(text, got);
    if (accepts != referenceAccepts)
        Fail(accepts ? "TryTextToInt accepts a refused text" : "TryTextToInt refuses an accepted text", text);
    if (accepts && got != expected) Fail("TryTextToInt gives a different value", text);

    try {
        const std::int32_t value = saberline::TextToInt(text);
        if (!referenceAccepts) Fail("TextToInt returns for a refused text", text);
        if (value != expected) Fail("TextToInt gives a different value", text);
    } catch (const saberline::EConvertError& error) {
        if (referenceAccepts) Fail("TextToInt raises for an accepted text", text);
        std::string message = "'";
        message.append(text);
        message += "' is not a valid integer value";
        // what() ends at an embedded zero, if the text holds one.
        if (std::string_view(error.what()) != std::string_view(message).substr(0, message.find('\0')))
            Fail("EConvertError carries a different message", text);
    } catch (...) {
        Fail("TextToInt raises something other than EConvertError", text);
    }

    if (referenceAccepts) {
        // Written back, the number reads as itself, in canonical form.
        const std::string written = saberline::IntToText(expected);
        if (written != std::to_string(expected)) Fail("IntToText differs from the decimal form", text);
        std::int32_t again = 0;
        if (!saberline::TryTextToInt(written, again) || again != expected)
            Fail("IntToText does not read back", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckText(text);
    // Field texts are short; also try every suffix of a short input, which
    // reaches the blank, sign and prefix cases from many starting points.
    if (size <= 24)
        for (std::size_t i = 1; i < size; ++i) CheckText(text.substr(i));
    // Any 32-bit number written as text must be read back.
    if (size >= 4) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, data, 4);
        const auto number = static_cast<std::int32_t>(bits);
        std::int32_t back = 0;
        const std::string written = saberline::IntToText(number);
        if (!saberline::TryTextToInt(written, back) || back != number || written != std::to_string(number))
            Fail("IntToText round trip", written);
    }
    return 0;
}
