// Well-formed UTF-8: the form in which every text enters the core from the
// command line and the page.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace saberline {

// The code points of a UTF-8 text; nullopt when the text is not well-formed
// (stray or missing continuation bytes, overlong forms, surrogates, values
// above U+10FFFF).
std::optional<std::u32string> DecodeUtf8(std::string_view text);

// Number of characters (code points) of a UTF-8 text; nullopt when it is not
// well-formed.
std::optional<std::size_t> CountUtf8Characters(std::string_view text);

// What is wrong with a text that must fit a field of `maxCharacters`
// characters, as a phrase that follows the text's name: "is not valid
// UTF-8", "contains a zero character" or "is longer than N characters";
// empty when the text is acceptable.
std::string FieldTextFault(std::string_view text, std::size_t maxCharacters);

}  // namespace saberline
