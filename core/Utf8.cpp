#include "Utf8.h"

#include <optional>

#include "Readings.h"

namespace saberline {

std::string FieldTextFault(std::string_view text, std::size_t maxCharacters) {
    const std::optional<std::size_t> length = CountUtf8Characters(text);
    if (!length) return "is not valid UTF-8";
    if (text.find('\0') != std::string_view::npos) return "contains a zero character";
    if (*length > maxCharacters)
        return "is longer than " + std::to_string(maxCharacters) + (maxCharacters == 1 ? " character" : " characters");
    return {};
}

}  // namespace saberline
