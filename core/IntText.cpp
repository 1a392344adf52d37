#include "IntText.h"

#include "Texts.h"

namespace saberline {

namespace {

int HexDigit(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool TryTextToInt(std::string_view text, std::int32_t& value) noexcept {
    // Most texts are a few decimal digits and nothing else: blanks, signs,
    // hexadecimal prefixes and overflow need none of the general rule below.
    if (!text.empty() && text.size() <= 9) {
        std::uint32_t number = 0;
        std::size_t i = 0;
        for (; i < text.size(); ++i) {
            const auto digit = static_cast<std::uint32_t>(static_cast<unsigned char>(text[i])) - unsigned{'0'};
            if (digit > 9u) break;
            number = number * 10u + digit;
        }
        if (i == text.size()) {
            value = static_cast<std::int32_t>(number);
            return true;
        }
    }
    value = 0;
    std::size_t i = 0;
    const std::size_t end = text.size();
    while (i < end && text[i] == ' ') ++i;

    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == end) return false;  // empty, blanks only, or a lone sign

    bool hex = false;
    if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
        hex = true;
        ++i;
    } else if (text[i] == '0') {
        if (i + 1 == end) return true;  // "0", "-0": zero
        if (text[i + 1] == 'x' || text[i + 1] == 'X') {
            hex = true;
            i += 2;
        }
    }

    std::uint32_t accumulated = 0;
    if (hex) {
        if (i == end) return false;  // a prefix with no digits
        for (; i < end; ++i) {
            const int digit = HexDigit(text[i]);
            if (digit < 0 || accumulated > 0x0FFFFFFFu) return false;
            accumulated = accumulated * 16u + static_cast<std::uint32_t>(digit);
        }
        if (negative) accumulated = 0u - accumulated;
        value = static_cast<std::int32_t>(accumulated);
        return true;
    }

    for (; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9' || accumulated > 214748364u) return false;
        accumulated = accumulated * 10u + static_cast<std::uint32_t>(c - '0');
    }
    if (negative) {
        if (accumulated > 2147483648u) return false;
        value = static_cast<std::int32_t>(0u - accumulated);
    } else {
        if (accumulated > 2147483647u) return false;
        value = static_cast<std::int32_t>(accumulated);
    }
    return true;
}

std::int32_t TextToInt(std::string_view text) {
    std::int32_t value = 0;
    if (!TryTextToInt(text, value)) {
        const std::string_view format = texts::kConvertErrorFormat;
        const std::size_t at = format.find("%s");
        std::string message;
        message.reserve(format.size() + text.size());
        message.append(format.substr(0, at)).append(text).append(format.substr(at + 2));
        throw EConvertError(message);
    }
    return value;
}

char* WriteIntText(char* out, std::int32_t value) noexcept {
    std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value)
                                        : static_cast<std::uint32_t>(value);
    if (value < 0) *out++ = '-';
    // Digits are written straight into place, last first.
    std::size_t length = 1;
    for (std::uint32_t rest = magnitude; rest >= 10u; rest /= 10u) ++length;
    char* const end = out + length;
    char* p = end;
    do {
        *--p = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);
    return end;
}

void AppendIntText(std::string& out, std::int32_t value) {
    char text[11];
    out.append(text, WriteIntText(text, value));
}

std::string IntToText(std::int32_t value) {
    std::string text;
    AppendIntText(text, value);
    return text;
}

}  // namespace saberline
