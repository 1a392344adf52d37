#include "Utf8.h"

#include <cstdint>

namespace saberline {

namespace {

// Calls `onCharacter` with each code point; false as soon as the text turns
// out not to be well-formed.
template <typename OnCharacter>
bool WalkUtf8(std::string_view text, OnCharacter&& onCharacter) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t code = 0;
        std::uint32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, code = lead & 0x1Fu, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, code = lead & 0x0Fu, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, code = lead & 0x07u, minimum = 0x10000;
        } else {
            return false;  // a continuation byte, C0, C1 or F5..FF in lead position
        }
        if (text.size() - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u) return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += extra + 1;
        onCharacter(static_cast<char32_t>(code));
    }
    return true;
}

}  // namespace

std::optional<std::u32string> DecodeUtf8(std::string_view text) {
    std::u32string characters;
    if (!WalkUtf8(text, [&](char32_t c) { characters.push_back(c); })) return std::nullopt;
    return characters;
}

std::optional<std::size_t> CountUtf8Characters(std::string_view text) {
    std::size_t count = 0;
    if (!WalkUtf8(text, [&](char32_t) { ++count; })) return std::nullopt;
    return count;
}

std::string FieldTextFault(std::string_view text, std::size_t maxCharacters) {
    const std::optional<std::size_t> length = CountUtf8Characters(text);
    if (!length) return "is not valid UTF-8";
    if (text.find('\0') != std::string_view::npos) return "contains a zero character";
    if (*length > maxCharacters)
        return "is longer than " + std::to_string(maxCharacters) + (maxCharacters == 1 ? " character" : " characters");
    return {};
}

}  // namespace saberline
