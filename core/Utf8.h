// Texts that arrive from outside a screen (the command line's JSON, a
// verification text): the form they must have to stand in a field.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace saberline {

// What is wrong with a text that must fit a field of `maxCharacters`
// characters, as a phrase that follows the text's name: "is not valid
// UTF-8", "contains a zero character" or "is longer than N characters";
// empty when the text is acceptable.
std::string FieldTextFault(std::string_view text, std::size_t maxCharacters);

}  // namespace saberline
