// Texts that arrive from outside a screen (the command line's JSON, a
// verification text, the page's fields in a fair duel): the form they must
// have to stand in a field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace saberline {

// What can be wrong with such a text, in the order it is looked for.
enum class TextProblem : std::uint8_t {
    None,
    NotUtf8,           // not well-formed UTF-8
    ZeroCharacter,     // holds U+0000
    ControlCharacter,  // holds another control character (U+0001 to U+001F, U+007F to U+009F)
    TooLong,           // more characters than the field takes
};

// The first problem of a text that must fit a field of `maxCharacters`
// characters. Control characters other than U+0000 count only when
// `controlsRefused` (a fair duel refuses them: no page field can show them).
TextProblem CheckFieldText(std::string_view text, std::size_t maxCharacters, bool controlsRefused = false);

// True when well-formed UTF-8 `text` holds a control character (U+0000 to
// U+001F, U+007F to U+009F).
bool HasControlCharacter(std::string_view text) noexcept;

// A problem as a phrase that follows the text's name: "is not valid UTF-8",
// "contains a zero character", "contains a control character" or "is longer
// than N characters"; empty for None.
std::string TextProblemPhrase(TextProblem problem, std::size_t maxCharacters);
// The phrase of a text's first problem.
inline std::string FieldTextFault(std::string_view text, std::size_t maxCharacters,
                                  bool controlsRefused = false) {
    return TextProblemPhrase(CheckFieldText(text, maxCharacters, controlsRefused), maxCharacters);
}

}  // namespace saberline
