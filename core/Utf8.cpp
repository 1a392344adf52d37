#include "Utf8.h"

#include <optional>

#include "Readings.h"

namespace saberline {

bool HasControlCharacter(std::string_view text) noexcept {
    // In well-formed UTF-8 the controls U+0000..U+001F and U+007F are single
    // bytes, and U+0080..U+009F are C2 followed by 80..9F.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) return true;
        if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F)
            return true;
    }
    return false;
}

TextProblem CheckFieldText(std::string_view text, std::size_t maxCharacters, bool controlsRefused) {
    const std::optional<std::size_t> length = CountUtf8Characters(text);
    if (!length) return TextProblem::NotUtf8;
    if (text.find('\0') != std::string_view::npos) return TextProblem::ZeroCharacter;
    if (controlsRefused && HasControlCharacter(text)) return TextProblem::ControlCharacter;
    if (*length > maxCharacters) return TextProblem::TooLong;
    return TextProblem::None;
}

std::string TextProblemPhrase(TextProblem problem, std::size_t maxCharacters) {
    switch (problem) {
        case TextProblem::None: break;
        case TextProblem::NotUtf8: return "is not valid UTF-8";
        case TextProblem::ZeroCharacter: return "contains a zero character";
        case TextProblem::ControlCharacter: return "contains a control character";
        case TextProblem::TooLong:
            return "is longer than " + std::to_string(maxCharacters) +
                   (maxCharacters == 1 ? " character" : " characters");
    }
    return {};
}

}  // namespace saberline
